#include "export/sis/SisWriter.h"

#include "export/sis/Checksums.h"
#include "export/sis/Zlib.h"

#include <cstring>

namespace velmora::sis {

void appendU8(Bytes &out, std::uint8_t value)
{
    out.push_back(value);
}

void appendU16(Bytes &out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendU32(Bytes &out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendU64(Bytes &out, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendBytes(Bytes &out, std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return;
    const std::size_t at = out.size();
    out.resize(at + bytes.size());
    std::memcpy(out.data() + at, bytes.data(), bytes.size());
}

void appendLength(Bytes &out, std::uint64_t length)
{
    if (length < 0x80000000u) {
        appendU32(out, static_cast<std::uint32_t>(length));
    } else {
        appendU32(out, static_cast<std::uint32_t>((length & 0x7FFFFFFFu) | 0x80000000u));
        appendU32(out, static_cast<std::uint32_t>(length >> 31));
    }
}

namespace {

void pad(Bytes &out, std::size_t dataSize)
{
    out.resize(out.size() + (4 - dataSize % 4) % 4, 0);
}

Bytes u32Field(FieldType type, std::uint32_t value)
{
    Bytes data;
    appendU32(data, value);
    return encodeField(type, data);
}

Bytes encodeStringArray(const std::vector<std::u16string> &strings)
{
    std::vector<Bytes> elements;
    elements.reserve(strings.size());
    for (const auto &text : strings) {
        Bytes data;
        for (char16_t unit : text)
            appendU16(data, unit);
        elements.push_back(std::move(data));
    }
    return encodeArray(FieldType::String, elements);
}

Bytes versionData(const Version &version)
{
    Bytes data;
    appendU32(data, static_cast<std::uint32_t>(version.major));
    appendU32(data, static_cast<std::uint32_t>(version.minor));
    appendU32(data, static_cast<std::uint32_t>(version.build));
    return data;
}

Bytes encodeVersion(const Version &version)
{
    return encodeField(FieldType::Version, versionData(version));
}

Bytes dependencyData(const Dependency &dependency)
{
    Bytes range = encodeVersion(dependency.from);
    if (dependency.to)
        appendBytes(range, encodeVersion(*dependency.to));
    Bytes data = u32Field(FieldType::Uid, dependency.uid);
    appendBytes(data, encodeField(FieldType::VersionRange, range));
    appendBytes(data, encodeStringArray(dependency.names));
    return data;
}

Bytes encodeDependencies(const std::vector<Dependency> &dependencies)
{
    std::vector<Bytes> elements;
    for (const auto &dependency : dependencies)
        elements.push_back(dependencyData(dependency));
    return encodeArray(FieldType::Dependency, elements);
}

Bytes encodeInfo(const Info &info)
{
    Bytes data = u32Field(FieldType::Uid, info.uid);
    appendBytes(data, encodeString(info.vendorUniqueName));
    appendBytes(data, encodeStringArray(info.names));
    appendBytes(data, encodeStringArray(info.vendorNames));
    appendBytes(data, encodeVersion(info.version));
    Bytes date;
    appendU16(date, info.creationTime.year);
    appendU8(date, info.creationTime.month);
    appendU8(date, info.creationTime.day);
    Bytes time;
    appendU8(time, info.creationTime.hours);
    appendU8(time, info.creationTime.minutes);
    appendU8(time, info.creationTime.seconds);
    Bytes dateTime = encodeField(FieldType::Date, date);
    appendBytes(dateTime, encodeField(FieldType::Time, time));
    appendBytes(data, encodeField(FieldType::DateTime, dateTime));
    appendU8(data, info.installType);
    appendU8(data, info.installFlags);
    return encodeField(FieldType::Info, data);
}

Bytes fileDescriptionData(const FileDescription &file)
{
    Bytes data = encodeString(file.target);
    appendBytes(data, encodeString(file.mimeType));
    if (file.capabilities)
        appendBytes(data, encodeField(FieldType::Capabilities, *file.capabilities));
    Bytes hash;
    appendU32(hash, file.hashAlgorithm);
    appendBytes(hash, encodeField(FieldType::Blob, file.hash));
    appendBytes(data, encodeField(FieldType::Hash, hash));
    appendU32(data, file.operation);
    appendU32(data, file.operationOptions);
    appendU64(data, file.length);
    appendU64(data, file.uncompressedLength);
    appendU32(data, file.fileIndex);
    return data;
}

Bytes expressionData(const Expression &expression)
{
    Bytes data;
    appendU32(data, expression.op);
    appendU32(data, static_cast<std::uint32_t>(expression.value));
    if (expression.string)
        appendBytes(data, encodeString(*expression.string));
    for (const auto &operand : expression.operands)
        appendBytes(data, encodeField(FieldType::Expression, expressionData(operand)));
    return data;
}

Bytes controllerData(const Controller &controller);

Bytes encodeInstallBlock(const InstallBlock &block)
{
    std::vector<Bytes> files;
    for (const auto &file : block.files)
        files.push_back(fileDescriptionData(file));
    std::vector<Bytes> controllers;
    for (const auto &embedded : block.embedded)
        controllers.push_back(controllerData(embedded));
    std::vector<Bytes> ifs;
    for (const auto &ifBlock : block.ifs) {
        Bytes ifData = encodeField(FieldType::Expression, expressionData(ifBlock.condition));
        appendBytes(ifData, encodeInstallBlock(ifBlock.block));
        std::vector<Bytes> elseIfs;
        for (const auto &elseIf : ifBlock.elseIfs) {
            Bytes elseData = encodeField(FieldType::Expression, expressionData(elseIf.condition));
            appendBytes(elseData, encodeInstallBlock(elseIf.block));
            elseIfs.push_back(std::move(elseData));
        }
        appendBytes(ifData, encodeArray(FieldType::ElseIf, elseIfs));
        ifs.push_back(std::move(ifData));
    }
    Bytes data = encodeArray(FieldType::FileDescription, files);
    appendBytes(data, encodeArray(FieldType::Controller, controllers));
    appendBytes(data, encodeArray(FieldType::If, ifs));
    return encodeField(FieldType::InstallBlock, data);
}

Bytes controllerData(const Controller &controller)
{
    Bytes data = encodeInfo(controller.info);

    std::vector<Bytes> options;
    for (const auto &option : controller.options)
        options.push_back(encodeStringArray(option));
    appendBytes(data, encodeField(FieldType::SupportedOptions,
                                  encodeArray(FieldType::SupportedOption, options)));

    std::vector<Bytes> languages;
    for (std::uint32_t language : controller.languages) {
        Bytes code;
        appendU32(code, language);
        languages.push_back(std::move(code));
    }
    appendBytes(data, encodeField(FieldType::SupportedLanguages,
                                  encodeArray(FieldType::Language, languages)));

    Bytes prerequisites = encodeDependencies(controller.targetDevices);
    appendBytes(prerequisites, encodeDependencies(controller.dependencies));
    appendBytes(data, encodeField(FieldType::Prerequisites, prerequisites));

    std::vector<Bytes> properties;
    for (const auto &property : controller.properties) {
        Bytes pair;
        appendU32(pair, static_cast<std::uint32_t>(property.key));
        appendU32(pair, static_cast<std::uint32_t>(property.value));
        properties.push_back(std::move(pair));
    }
    appendBytes(data,
                encodeField(FieldType::Properties, encodeArray(FieldType::Property, properties)));

    if (controller.logo)
        appendBytes(
            data, encodeField(FieldType::Logo, encodeField(FieldType::FileDescription,
                                                           fileDescriptionData(*controller.logo))));
    appendBytes(data, encodeInstallBlock(controller.installBlock));
    for (const auto &chain : controller.chains)
        appendBytes(data, encodeSignatureChain(chain));
    appendBytes(data, u32Field(FieldType::DataIndex, controller.dataIndex));
    return data;
}

} // namespace

Bytes encodeField(FieldType type, std::span<const std::uint8_t> data)
{
    Bytes out;
    out.reserve(12 + data.size() + 3);
    appendU32(out, static_cast<std::uint32_t>(type));
    appendLength(out, data.size());
    appendBytes(out, data);
    pad(out, data.size());
    return out;
}

Bytes encodeArray(FieldType elementType, const std::vector<Bytes> &elements)
{
    Bytes data;
    appendU32(data, static_cast<std::uint32_t>(elementType));
    for (const auto &element : elements) {
        appendLength(data, element.size());
        appendBytes(data, element);
        pad(data, element.size());
    }
    return encodeField(FieldType::Array, data);
}

Bytes encodeString(std::u16string_view text)
{
    Bytes data;
    data.reserve(text.size() * 2);
    for (char16_t unit : text)
        appendU16(data, unit);
    return encodeField(FieldType::String, data);
}

Bytes encodeController(const Controller &controller)
{
    return encodeField(FieldType::Controller, controllerData(controller));
}

Bytes encodeSignatureChain(const SignatureChain &chain)
{
    std::vector<Bytes> signatures;
    for (const auto &signature : chain.signatures) {
        Bytes data = encodeField(FieldType::SignatureAlgorithm, encodeString(signature.algorithm));
        appendBytes(data, encodeField(FieldType::Blob, signature.value));
        signatures.push_back(std::move(data));
    }
    Bytes data = encodeArray(FieldType::Signature, signatures);
    appendBytes(data, encodeField(FieldType::CertificateChain,
                                  encodeField(FieldType::Blob, chain.certificates)));
    return encodeField(FieldType::SignatureCertificateChain, data);
}

std::expected<CompressedField, Error> encodeCompressed(std::span<const std::uint8_t> raw,
                                                       bool mayDeflate)
{
    Bytes data;
    if (mayDeflate) {
        auto packed = deflateZlib(raw);
        if (!packed)
            return std::unexpected(Error{packed.error()});
        if (packed->size() < raw.size()) {
            data.reserve(12 + packed->size());
            appendU32(data, static_cast<std::uint32_t>(Compression::Deflate));
            appendU64(data, raw.size());
            appendBytes(data, *packed);
            return CompressedField{encodeField(FieldType::Compressed, data), packed->size()};
        }
    }
    data.reserve(12 + raw.size());
    appendU32(data, static_cast<std::uint32_t>(Compression::None));
    appendU64(data, raw.size());
    appendBytes(data, raw);
    return CompressedField{encodeField(FieldType::Compressed, data), raw.size()};
}

Bytes encodeData(const std::vector<std::vector<Bytes>> &units)
{
    std::vector<Bytes> unitData;
    for (const auto &unit : units)
        unitData.push_back(encodeArray(FieldType::FileData, unit));
    return encodeField(FieldType::Data, encodeArray(FieldType::DataUnit, unitData));
}

Bytes encodeHeader(std::uint32_t uid3)
{
    Bytes out;
    appendU32(out, kUid1);
    appendU32(out, 0);
    appendU32(out, uid3);
    appendU32(out, uidChecksum(kUid1, 0, uid3));
    return out;
}

Bytes encodeContents(std::span<const std::uint8_t> compressedController,
                     std::span<const std::uint8_t> data)
{
    Bytes contents;
    const std::uint16_t controllerCrc = crc16(compressedController);
    const std::uint16_t dataCrc = crc16(data);
    if (controllerCrc != 0) {
        Bytes value;
        appendU16(value, controllerCrc);
        appendBytes(contents, encodeField(FieldType::ControllerChecksum, value));
    }
    if (dataCrc != 0) {
        Bytes value;
        appendU16(value, dataCrc);
        appendBytes(contents, encodeField(FieldType::DataChecksum, value));
    }
    appendBytes(contents, compressedController);
    appendBytes(contents, data);
    return encodeField(FieldType::Contents, contents);
}

Bytes assemblePackage(std::uint32_t uid3, std::span<const std::uint8_t> compressedController,
                      std::span<const std::uint8_t> data)
{
    Bytes out = encodeHeader(uid3);
    appendBytes(out, encodeContents(compressedController, data));
    return out;
}

} // namespace velmora::sis
