#pragma once

#include "preview/Legibility.h"
#include "preview/PreviewState.h"
#include "preview/SlotUsage.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class SkinDocument;
class PhonePreview;

// Keeps the legibility audit and the selected slot's usage in step with the skin: after every
// change of a colour, a picture, the selected slot or the shown screen's options they are made
// again. They draw their screens with render() apart from the shown preview, which never
// flickers through other screens.
class QualityChecks : public QObject
{
    Q_OBJECT
public:
    // shown is the window's preview: its options (size, fonts, columns ...) are the checks'.
    // resources are the checks' own: the contact list they measure may differ from the shown one.
    QualityChecks(PreviewResources resources, SkinDocument &document, const PhonePreview &shown,
                  QObject *parent = nullptr);
    ~QualityChecks() override;

    // Makes what is out of date now instead of at the next turn of the event loop.
    void refresh();
    // Start-up paints its progress through the event loop; the checks keep still until
    // startAfter(), so that the window shows first. Made with the checks held.
    void startAfter(std::chrono::milliseconds delay);
    const QList<SlotLegibility> &audit() const { return m_audit; }
    int usageSlot() const { return m_usageSlot; }
    const QList<ScreenUsage> &usage() const { return m_usage; }

signals:
    void auditChanged();
    void usageChanged();

private:
    // The shown preview's options that change what the checks see.
    PreviewState baseOf() const;
    void later();

    PreviewResources m_resources;
    SkinDocument &m_document;
    const PhonePreview &m_shown;
    TextShapes m_shapes;
    QTimer m_timer;
    bool m_held = true;
    bool m_documentChanged = true;
    std::optional<PreviewState> m_lastBase;
    QList<SlotLegibility> m_audit;
    int m_usageSlot = -1;
    QList<ScreenUsage> m_usage;
};
