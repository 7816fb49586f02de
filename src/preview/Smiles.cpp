#include "preview/Smiles.h"

#include "core/Cp1251.h"

TSmiles::TSmiles(const QByteArray &iniBytes)
{
    // Every line is a smiley, empty lines included; a final line end does not start another.
    QString text = cp1251::decode(iniBytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QString &line : lines)
        m_smileys.append({line.split(u',')});
    for (const char16_t *code : {u"[cover_in]", u"[cover_out_v]", u"[cover_out]"})
        m_smileys.append({{QString::fromUtf16(code)}});
    for (int n = 1; n <= kXStatusSmileys; ++n)
        m_smileys.append({{QStringLiteral("<~~<xstatus%1>~~>").arg(n, 2, 10, QLatin1Char('0'))}});
}
