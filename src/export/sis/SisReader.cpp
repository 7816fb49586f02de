#include "export/sis/SisReader.h"

#include "export/sis/Checksums.h"
#include "export/sis/Crypto.h"
#include "export/sis/Text.h"
#include "export/sis/Zlib.h"
#include "platform/Try.h"

#include <algorithm>
#include <cstring>

namespace velmora::sis {

namespace {

// Deep enough for any real package, shallow enough that a hostile nesting cannot exhaust the stack.
constexpr int kMaxDepth = 48;

// The largest ratio deflate can reach is about 1032:1; a declared size beyond that is a lie.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct RawField
{
    std::uint32_t type = 0;
    std::size_t offset = 0;     // header start
    std::size_t dataOffset = 0; // data start
    std::size_t dataSize = 0;
    std::size_t end = 0; // after the padding
};

// A buffer that offsets refer to: the file, or the decompressed controller.
struct Space
{
    std::span<const std::uint8_t> bytes;
    std::string name;

    Error error(std::size_t offset, const std::string &message) const
    {
        return Error{name + " " + std::to_string(offset) + ": " + message};
    }
    std::uint32_t u32At(std::size_t at) const
    {
        return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
               std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
    }
};

std::unexpected<Error> fail(Error error)
{
    return std::unexpected(std::move(error));
}

// Reads fields and integers from [begin, end) of a space; `owner` names the enclosing field.
class Cursor
{
public:
    Cursor(const Space &space, std::size_t begin, std::size_t end, std::string owner)
        : m_space(&space)
        , m_pos(begin)
        , m_end(end)
        , m_owner(std::move(owner))
    {}

    Cursor sub(const RawField &field) const
    {
        return Cursor(*m_space, field.dataOffset, field.dataOffset + field.dataSize,
                      fieldName(field.type));
    }

    const Space &space() const { return *m_space; }
    std::size_t pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_end; }
    Error error(const std::string &message) const { return m_space->error(m_pos, message); }

    std::optional<std::uint32_t> peekType() const
    {
        if (m_end - m_pos < 4)
            return std::nullopt;
        return m_space->u32At(m_pos);
    }

    std::expected<std::uint64_t, Error> integer(int size, const char *what)
    {
        if (m_end - m_pos < static_cast<std::size_t>(size))
            return fail(error(std::string(what) + " runs past the end of " + m_owner));
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= std::uint64_t{m_space->bytes[m_pos + i]} << (8 * i);
        m_pos += size;
        return value;
    }

    std::expected<RawField, Error> field()
    {
        if (m_end - m_pos < 8)
            return fail(error("a field header runs past the end of " + m_owner));
        RawField field;
        field.offset = m_pos;
        field.type = m_space->u32At(m_pos);
        m_pos += 4;
        return body(field);
    }

    std::expected<RawField, Error> field(FieldType expected)
    {
        const auto type = peekType();
        if (!type)
            return fail(error(fieldName(static_cast<std::uint32_t>(expected)) + " expected, but " +
                              m_owner + " ends here"));
        if (*type != static_cast<std::uint32_t>(expected))
            return fail(error(fieldName(static_cast<std::uint32_t>(expected)) +
                              " expected, found " + fieldName(*type)));
        return field();
    }

    // An array element: length, data and padding, no type word.
    std::expected<RawField, Error> element(FieldType type)
    {
        RawField field;
        field.offset = m_pos;
        field.type = static_cast<std::uint32_t>(type);
        return body(field);
    }

    // Members a newer format version may add at the end of a structure are skipped; a known
    // field there is out of place.
    std::expected<void, Error> finish()
    {
        while (!atEnd()) {
            const std::size_t at = m_pos;
            VELMORA_TRY_ASSIGN(auto extra, field());
            if (isKnownField(extra.type))
                return fail(
                    m_space->error(at, "unexpected " + fieldName(extra.type) + " in " + m_owner));
        }
        return {};
    }

private:
    std::expected<RawField, Error> body(RawField field)
    {
        const std::string name = fieldName(field.type);
        if (m_end - m_pos < 4)
            return fail(error("the length of " + name + " runs past the end of " + m_owner));
        std::uint64_t length = m_space->u32At(m_pos);
        m_pos += 4;
        if (length & 0x80000000u) {
            if (m_end - m_pos < 4)
                return fail(error("the length of " + name + " runs past the end of " + m_owner));
            length = (length & 0x7FFFFFFFu) + (std::uint64_t{m_space->u32At(m_pos)} << 31);
            m_pos += 4;
        }
        const std::size_t left = m_end - m_pos;
        if (length > left)
            return fail(m_space->error(field.offset, name + " length " + std::to_string(length) +
                                                         " runs past the end of " + m_owner + " (" +
                                                         std::to_string(left) + " bytes left)"));
        field.dataOffset = m_pos;
        field.dataSize = static_cast<std::size_t>(length);
        const std::size_t padding = (4 - field.dataSize % 4) % 4;
        if (left - field.dataSize < padding)
            return fail(m_space->error(field.offset, "the padding of " + name +
                                                         " runs past the end of " + m_owner));
        for (std::size_t i = 0; i < padding; ++i)
            if (m_space->bytes[field.dataOffset + field.dataSize + i] != 0)
                return fail(m_space->error(field.dataOffset + field.dataSize + i,
                                           "non-zero padding after " + name));
        field.end = field.dataOffset + field.dataSize + padding;
        m_pos = field.end;
        return field;
    }

    const Space *m_space;
    std::size_t m_pos;
    std::size_t m_end;
    std::string m_owner;
};

std::expected<void, Error> expectSize(const Cursor &parent, const RawField &field, std::size_t size)
{
    if (field.dataSize != size)
        return fail(parent.space().error(field.offset, fieldName(field.type) + " has length " +
                                                           std::to_string(field.dataSize) +
                                                           ", expected " + std::to_string(size)));
    return {};
}

std::expected<std::u16string, Error> stringData(const Cursor &parent, const RawField &field)
{
    if (field.dataSize % 2 != 0)
        return fail(parent.space().error(field.offset, "SISString has odd length " +
                                                           std::to_string(field.dataSize)));
    std::u16string text(field.dataSize / 2, u'\0');
    const auto bytes = parent.space().bytes;
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(bytes[field.dataOffset + 2 * i] |
                                        bytes[field.dataOffset + 2 * i + 1] << 8);
    return text;
}

std::expected<std::u16string, Error> readString(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::String));
    return stringData(cursor, field);
}

// Opens a SISArray field and checks its declared element type.
std::expected<Cursor, Error> openArray(Cursor &cursor, FieldType elementType)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::Array));
    Cursor items = cursor.sub(field);
    VELMORA_TRY_ASSIGN(auto declared, items.integer(4, "the element type of SISArray"));
    if (declared != static_cast<std::uint32_t>(elementType))
        return fail(cursor.space().error(
            field.offset, "SISArray holds " + fieldName(static_cast<std::uint32_t>(declared)) +
                              " elements where " +
                              fieldName(static_cast<std::uint32_t>(elementType)) +
                              " elements belong"));
    return Cursor(cursor.space(), field.dataOffset + 4, field.dataOffset + field.dataSize,
                  "SISArray<" + fieldName(static_cast<std::uint32_t>(elementType)) + ">");
}

std::expected<std::vector<std::u16string>, Error> readStringArray(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto items, openArray(cursor, FieldType::String));
    std::vector<std::u16string> strings;
    while (!items.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, items.element(FieldType::String));
        VELMORA_TRY_ASSIGN(auto text, stringData(items, element));
        strings.push_back(std::move(text));
    }
    return strings;
}

std::expected<Version, Error> readVersion(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::Version));
    VELMORA_TRY(expectSize(cursor, field, 12));
    const auto &space = cursor.space();
    return Version{static_cast<std::int32_t>(space.u32At(field.dataOffset)),
                   static_cast<std::int32_t>(space.u32At(field.dataOffset + 4)),
                   static_cast<std::int32_t>(space.u32At(field.dataOffset + 8))};
}

std::expected<std::uint32_t, Error> readU32Field(Cursor &cursor, FieldType type)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(type));
    VELMORA_TRY(expectSize(cursor, field, 4));
    return cursor.space().u32At(field.dataOffset);
}

std::expected<DateTime, Error> readDateTime(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::DateTime));
    Cursor members = cursor.sub(field);
    DateTime value;
    const auto &bytes = cursor.space().bytes;

    VELMORA_TRY_ASSIGN(auto date, members.field(FieldType::Date));
    VELMORA_TRY(expectSize(members, date, 4));
    value.year =
        static_cast<std::uint16_t>(bytes[date.dataOffset] | bytes[date.dataOffset + 1] << 8);
    value.month = bytes[date.dataOffset + 2];
    value.day = bytes[date.dataOffset + 3];
    if (value.month > 11 || value.day < 1 || value.day > 31)
        return fail(
            cursor.space().error(date.dataOffset, "SISDate month " + std::to_string(value.month) +
                                                      " / day " + std::to_string(value.day) +
                                                      " out of range (month 0..11, day 1..31)"));

    VELMORA_TRY_ASSIGN(auto time, members.field(FieldType::Time));
    VELMORA_TRY(expectSize(members, time, 3));
    value.hours = bytes[time.dataOffset];
    value.minutes = bytes[time.dataOffset + 1];
    value.seconds = bytes[time.dataOffset + 2];
    if (value.hours > 23 || value.minutes > 59 || value.seconds > 59)
        return fail(cursor.space().error(time.dataOffset, "SISTime out of range"));
    VELMORA_TRY(members.finish());
    return value;
}

std::expected<Info, Error> readInfo(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::Info));
    Cursor members = cursor.sub(field);
    Info info;
    VELMORA_TRY_ASSIGN(auto uid, readU32Field(members, FieldType::Uid));
    info.uid = uid;
    VELMORA_TRY_ASSIGN(auto vendor, readString(members));
    info.vendorUniqueName = std::move(vendor);
    VELMORA_TRY_ASSIGN(auto names, readStringArray(members));
    info.names = std::move(names);
    VELMORA_TRY_ASSIGN(auto vendorNames, readStringArray(members));
    info.vendorNames = std::move(vendorNames);
    VELMORA_TRY_ASSIGN(auto version, readVersion(members));
    info.version = version;
    VELMORA_TRY_ASSIGN(auto created, readDateTime(members));
    info.creationTime = created;
    const std::size_t typeAt = members.pos();
    VELMORA_TRY_ASSIGN(auto installType, members.integer(1, "the install type"));
    VELMORA_TRY_ASSIGN(auto installFlags, members.integer(1, "the install flags"));
    if (installType > 4)
        return fail(cursor.space().error(typeAt, "install type " + std::to_string(installType) +
                                                     " is not one of 0..4"));
    info.installType = static_cast<std::uint8_t>(installType);
    info.installFlags = static_cast<std::uint8_t>(installFlags);
    VELMORA_TRY(members.finish());
    return info;
}

std::expected<Dependency, Error> readDependency(Cursor &members)
{
    Dependency dependency;
    VELMORA_TRY_ASSIGN(auto uid, readU32Field(members, FieldType::Uid));
    dependency.uid = uid;
    VELMORA_TRY_ASSIGN(auto range, members.field(FieldType::VersionRange));
    Cursor bounds = members.sub(range);
    VELMORA_TRY_ASSIGN(auto from, readVersion(bounds));
    dependency.from = from;
    if (bounds.peekType() == static_cast<std::uint32_t>(FieldType::Version)) {
        VELMORA_TRY_ASSIGN(auto to, readVersion(bounds));
        dependency.to = to;
    }
    VELMORA_TRY(bounds.finish());
    VELMORA_TRY_ASSIGN(auto names, readStringArray(members));
    dependency.names = std::move(names);
    VELMORA_TRY(members.finish());
    return dependency;
}

std::expected<std::vector<Dependency>, Error> readDependencies(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto items, openArray(cursor, FieldType::Dependency));
    std::vector<Dependency> dependencies;
    while (!items.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, items.element(FieldType::Dependency));
        Cursor members = items.sub(element);
        VELMORA_TRY_ASSIGN(auto dependency, readDependency(members));
        dependencies.push_back(std::move(dependency));
    }
    return dependencies;
}

std::expected<FileDescription, Error> readFileDescription(Cursor &members)
{
    FileDescription file;
    const std::size_t targetAt = members.pos();
    VELMORA_TRY_ASSIGN(auto target, readString(members));
    file.target = std::move(target);
    VELMORA_TRY_ASSIGN(auto mime, readString(members));
    file.mimeType = std::move(mime);
    if (members.peekType() == static_cast<std::uint32_t>(FieldType::Capabilities)) {
        VELMORA_TRY_ASSIGN(auto caps, members.field(FieldType::Capabilities));
        if (caps.dataSize % 4 != 0)
            return fail(members.space().error(caps.offset,
                                              "SISCapabilities length is not a multiple of 4"));
        const auto bytes = members.space().bytes.subspan(caps.dataOffset, caps.dataSize);
        file.capabilities = Bytes(bytes.begin(), bytes.end());
    }
    VELMORA_TRY_ASSIGN(auto hash, members.field(FieldType::Hash));
    Cursor hashMembers = members.sub(hash);
    VELMORA_TRY_ASSIGN(auto algorithm, hashMembers.integer(4, "the hash algorithm"));
    if (algorithm != kHashSha1)
        return fail(members.space().error(
            hash.dataOffset, "hash algorithm " + std::to_string(algorithm) + " is not SHA-1 (1)"));
    file.hashAlgorithm = static_cast<std::uint32_t>(algorithm);
    VELMORA_TRY_ASSIGN(auto digest, hashMembers.field(FieldType::Blob));
    VELMORA_TRY(expectSize(hashMembers, digest, 20));
    const auto digestBytes = members.space().bytes.subspan(digest.dataOffset, 20);
    file.hash.assign(digestBytes.begin(), digestBytes.end());
    VELMORA_TRY(hashMembers.finish());

    const std::size_t operationAt = members.pos();
    VELMORA_TRY_ASSIGN(auto operation, members.integer(4, "the file operation"));
    VELMORA_TRY_ASSIGN(auto options, members.integer(4, "the operation options"));
    VELMORA_TRY_ASSIGN(auto length, members.integer(8, "the stored length"));
    VELMORA_TRY_ASSIGN(auto uncompressed, members.integer(8, "the uncompressed length"));
    VELMORA_TRY_ASSIGN(auto index, members.integer(4, "the file index"));
    if (operation == 0 || operation >= 16)
        return fail(members.space().error(
            operationAt, "file operation " + std::to_string(operation) + " is not valid"));
    file.operation = static_cast<std::uint32_t>(operation);
    file.operationOptions = static_cast<std::uint32_t>(options);
    file.length = length;
    file.uncompressedLength = uncompressed;
    file.fileIndex = static_cast<std::uint32_t>(index);
    VELMORA_TRY(members.finish());
    // The target is where the device writes the file: one that names no drive or climbs out of
    // its folders would let a package put files anywhere.
    if ((file.operation & OpInstall) && file.target.empty())
        return fail(members.space().error(targetAt, "a file to install has an empty target"));
    if (const std::string problem = targetProblem(file.target); !problem.empty())
        return fail(members.space().error(targetAt,
                                          "the target \"" + toUtf8(file.target) + "\" " + problem));
    return file;
}

std::expected<Expression, Error> readExpression(Cursor &members, int depth)
{
    if (depth > kMaxDepth)
        return fail(members.error("expressions nested too deeply"));
    Expression expression;
    VELMORA_TRY_ASSIGN(auto op, members.integer(4, "the expression operator"));
    VELMORA_TRY_ASSIGN(auto value, members.integer(4, "the expression value"));
    expression.op = static_cast<std::uint32_t>(op);
    expression.value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    if (members.peekType() == static_cast<std::uint32_t>(FieldType::String)) {
        VELMORA_TRY_ASSIGN(auto text, readString(members));
        expression.string = std::move(text);
    }
    while (expression.operands.size() < 2 &&
           members.peekType() == static_cast<std::uint32_t>(FieldType::Expression)) {
        VELMORA_TRY_ASSIGN(auto field, members.field(FieldType::Expression));
        Cursor operand = members.sub(field);
        VELMORA_TRY_ASSIGN(auto parsed, readExpression(operand, depth + 1));
        expression.operands.push_back(std::move(parsed));
    }
    VELMORA_TRY(members.finish());
    return expression;
}

std::expected<Controller, Error> readControllerMembers(Cursor &members, int depth,
                                                       std::vector<std::size_t> *signedEnds);

std::expected<InstallBlock, Error> readInstallBlock(Cursor &cursor, int depth, std::size_t *end);

std::expected<Expression, Error> readCondition(Cursor &members, int depth)
{
    VELMORA_TRY_ASSIGN(auto field, members.field(FieldType::Expression));
    Cursor expression = members.sub(field);
    return readExpression(expression, depth + 1);
}

std::expected<InstallBlock, Error> readInstallBlock(Cursor &cursor, int depth, std::size_t *end)
{
    if (depth > kMaxDepth)
        return fail(cursor.error("install blocks nested too deeply"));
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::InstallBlock));
    if (end)
        *end = field.end;
    Cursor members = cursor.sub(field);
    InstallBlock block;

    VELMORA_TRY_ASSIGN(auto files, openArray(members, FieldType::FileDescription));
    while (!files.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, files.element(FieldType::FileDescription));
        Cursor fileMembers = files.sub(element);
        VELMORA_TRY_ASSIGN(auto file, readFileDescription(fileMembers));
        block.files.push_back(std::move(file));
    }

    VELMORA_TRY_ASSIGN(auto controllers, openArray(members, FieldType::Controller));
    while (!controllers.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, controllers.element(FieldType::Controller));
        Cursor controllerMembers = controllers.sub(element);
        VELMORA_TRY_ASSIGN(auto embedded,
                           readControllerMembers(controllerMembers, depth + 1, nullptr));
        block.embedded.push_back(std::move(embedded));
    }

    VELMORA_TRY_ASSIGN(auto ifs, openArray(members, FieldType::If));
    while (!ifs.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, ifs.element(FieldType::If));
        Cursor ifMembers = ifs.sub(element);
        IfBlock ifBlock;
        VELMORA_TRY_ASSIGN(auto condition, readCondition(ifMembers, depth));
        ifBlock.condition = std::move(condition);
        VELMORA_TRY_ASSIGN(auto body, readInstallBlock(ifMembers, depth + 1, nullptr));
        ifBlock.block = std::move(body);
        VELMORA_TRY_ASSIGN(auto elseIfs, openArray(ifMembers, FieldType::ElseIf));
        while (!elseIfs.atEnd()) {
            VELMORA_TRY_ASSIGN(auto elseElement, elseIfs.element(FieldType::ElseIf));
            Cursor elseMembers = elseIfs.sub(elseElement);
            ElseIf elseIf;
            VELMORA_TRY_ASSIGN(auto elseCondition, readCondition(elseMembers, depth));
            elseIf.condition = std::move(elseCondition);
            VELMORA_TRY_ASSIGN(auto elseBody, readInstallBlock(elseMembers, depth + 1, nullptr));
            elseIf.block = std::move(elseBody);
            VELMORA_TRY(elseMembers.finish());
            ifBlock.elseIfs.push_back(std::move(elseIf));
        }
        VELMORA_TRY(ifMembers.finish());
        block.ifs.push_back(std::move(ifBlock));
    }
    VELMORA_TRY(members.finish());
    return block;
}

std::expected<SignatureChain, Error> readSignatureChain(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::SignatureCertificateChain));
    Cursor members = cursor.sub(field);
    SignatureChain chain;
    VELMORA_TRY_ASSIGN(auto signatures, openArray(members, FieldType::Signature));
    while (!signatures.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, signatures.element(FieldType::Signature));
        Cursor signatureMembers = signatures.sub(element);
        Signature signature;
        VELMORA_TRY_ASSIGN(auto algorithm, signatureMembers.field(FieldType::SignatureAlgorithm));
        Cursor algorithmMembers = signatureMembers.sub(algorithm);
        VELMORA_TRY_ASSIGN(auto oid, readString(algorithmMembers));
        signature.algorithm = std::move(oid);
        VELMORA_TRY(algorithmMembers.finish());
        VELMORA_TRY_ASSIGN(auto blob, signatureMembers.field(FieldType::Blob));
        const auto bytes = cursor.space().bytes.subspan(blob.dataOffset, blob.dataSize);
        signature.value.assign(bytes.begin(), bytes.end());
        VELMORA_TRY(signatureMembers.finish());
        chain.signatures.push_back(std::move(signature));
    }
    VELMORA_TRY_ASSIGN(auto certificates, members.field(FieldType::CertificateChain));
    Cursor certificateMembers = members.sub(certificates);
    VELMORA_TRY_ASSIGN(auto blob, certificateMembers.field(FieldType::Blob));
    const auto bytes = cursor.space().bytes.subspan(blob.dataOffset, blob.dataSize);
    chain.certificates.assign(bytes.begin(), bytes.end());
    VELMORA_TRY(certificateMembers.finish());
    VELMORA_TRY(members.finish());
    return chain;
}

std::expected<void, Error> checkLanguageCount(const Cursor &cursor, std::size_t at,
                                              std::size_t count, std::size_t languages,
                                              const std::string &what)
{
    if (count != languages)
        return fail(cursor.space().error(at, what + " has " + std::to_string(count) +
                                                 " entries for " + std::to_string(languages) +
                                                 " languages"));
    return {};
}

std::expected<Controller, Error> readControllerMembers(Cursor &members, int depth,
                                                       std::vector<std::size_t> *signedEnds)
{
    if (depth > kMaxDepth)
        return fail(members.error("embedded packages nested too deeply"));
    Controller controller;
    const std::size_t infoAt = members.pos();
    VELMORA_TRY_ASSIGN(auto info, readInfo(members));
    controller.info = std::move(info);

    VELMORA_TRY_ASSIGN(auto optionsField, members.field(FieldType::SupportedOptions));
    Cursor optionsMembers = members.sub(optionsField);
    VELMORA_TRY_ASSIGN(auto options, openArray(optionsMembers, FieldType::SupportedOption));
    while (!options.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, options.element(FieldType::SupportedOption));
        Cursor optionMembers = options.sub(element);
        VELMORA_TRY_ASSIGN(auto names, readStringArray(optionMembers));
        VELMORA_TRY(optionMembers.finish());
        controller.options.push_back(std::move(names));
    }
    VELMORA_TRY(optionsMembers.finish());

    VELMORA_TRY_ASSIGN(auto languagesField, members.field(FieldType::SupportedLanguages));
    Cursor languagesMembers = members.sub(languagesField);
    VELMORA_TRY_ASSIGN(auto languages, openArray(languagesMembers, FieldType::Language));
    while (!languages.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, languages.element(FieldType::Language));
        VELMORA_TRY(expectSize(languages, element, 4));
        controller.languages.push_back(members.space().u32At(element.dataOffset));
    }
    VELMORA_TRY(languagesMembers.finish());
    const std::size_t languageCount = controller.languages.size();
    if (languageCount == 0)
        return fail(members.space().error(languagesField.offset,
                                          "SISSupportedLanguages lists no language"));
    VELMORA_TRY(checkLanguageCount(members, infoAt, controller.info.names.size(), languageCount,
                                   "the package name list"));
    VELMORA_TRY(checkLanguageCount(members, infoAt, controller.info.vendorNames.size(),
                                   languageCount, "the vendor name list"));
    for (const auto &option : controller.options) {
        VELMORA_TRY(checkLanguageCount(members, optionsField.offset, option.size(), languageCount,
                                       "an option name list"));
    }

    VELMORA_TRY_ASSIGN(auto prerequisitesField, members.field(FieldType::Prerequisites));
    Cursor prerequisites = members.sub(prerequisitesField);
    VELMORA_TRY_ASSIGN(auto targets, readDependencies(prerequisites));
    controller.targetDevices = std::move(targets);
    VELMORA_TRY_ASSIGN(auto dependencies, readDependencies(prerequisites));
    controller.dependencies = std::move(dependencies);
    VELMORA_TRY(prerequisites.finish());
    for (const auto *list : {&controller.targetDevices, &controller.dependencies}) {
        for (const auto &dependency : *list) {
            VELMORA_TRY(checkLanguageCount(
                members, prerequisitesField.offset, dependency.names.size(), languageCount,
                "the name list of dependency " + hex(dependency.uid, 8)));
        }
    }

    VELMORA_TRY_ASSIGN(auto propertiesField, members.field(FieldType::Properties));
    Cursor propertiesMembers = members.sub(propertiesField);
    VELMORA_TRY_ASSIGN(auto properties, openArray(propertiesMembers, FieldType::Property));
    while (!properties.atEnd()) {
        VELMORA_TRY_ASSIGN(auto element, properties.element(FieldType::Property));
        VELMORA_TRY(expectSize(properties, element, 8));
        const auto &space = members.space();
        controller.properties.push_back(
            Property{static_cast<std::int32_t>(space.u32At(element.dataOffset)),
                     static_cast<std::int32_t>(space.u32At(element.dataOffset + 4))});
    }
    VELMORA_TRY(propertiesMembers.finish());

    if (members.peekType() == static_cast<std::uint32_t>(FieldType::Logo)) {
        VELMORA_TRY_ASSIGN(auto logoField, members.field(FieldType::Logo));
        Cursor logoMembers = members.sub(logoField);
        VELMORA_TRY_ASSIGN(auto descriptionField, logoMembers.field(FieldType::FileDescription));
        Cursor descriptionMembers = logoMembers.sub(descriptionField);
        VELMORA_TRY_ASSIGN(auto logo, readFileDescription(descriptionMembers));
        controller.logo = std::move(logo);
        VELMORA_TRY(logoMembers.finish());
    }

    std::size_t blockEnd = 0;
    VELMORA_TRY_ASSIGN(auto block, readInstallBlock(members, depth + 1, &blockEnd));
    controller.installBlock = std::move(block);
    if (signedEnds)
        signedEnds->push_back(blockEnd);

    while (members.peekType() == static_cast<std::uint32_t>(FieldType::SignatureCertificateChain)) {
        VELMORA_TRY_ASSIGN(auto chain, readSignatureChain(members));
        controller.chains.push_back(std::move(chain));
        if (signedEnds)
            signedEnds->push_back(members.pos());
    }

    VELMORA_TRY_ASSIGN(auto dataIndex, readU32Field(members, FieldType::DataIndex));
    controller.dataIndex = dataIndex;
    VELMORA_TRY(members.finish());
    return controller;
}

struct CompressedHeader
{
    Compression algorithm = Compression::None;
    std::uint64_t size = 0;
    std::size_t payloadOffset = 0;
    std::size_t payloadSize = 0;
};

std::expected<CompressedHeader, Error> readCompressed(Cursor &cursor)
{
    VELMORA_TRY_ASSIGN(auto field, cursor.field(FieldType::Compressed));
    Cursor members = cursor.sub(field);
    const std::size_t algorithmAt = members.pos();
    VELMORA_TRY_ASSIGN(auto algorithm, members.integer(4, "the compression algorithm"));
    VELMORA_TRY_ASSIGN(auto size, members.integer(8, "the uncompressed size"));
    CompressedHeader header;
    header.size = size;
    header.payloadOffset = members.pos();
    header.payloadSize = field.dataOffset + field.dataSize - members.pos();
    if (algorithm == 0) {
        header.algorithm = Compression::None;
        if (header.size != header.payloadSize)
            return fail(cursor.space().error(
                algorithmAt, "uncompressed SISCompressed declares " + std::to_string(header.size) +
                                 " bytes but holds " + std::to_string(header.payloadSize)));
    } else if (algorithm == 1) {
        header.algorithm = Compression::Deflate;
        if (header.size > header.payloadSize * kMaxDeflateRatio + 64)
            return fail(cursor.space().error(
                algorithmAt, "SISCompressed declares " + std::to_string(header.size) +
                                 " bytes from " + std::to_string(header.payloadSize) +
                                 " compressed bytes, more than zlib can produce"));
    } else {
        return fail(cursor.space().error(algorithmAt, "unknown compression algorithm " +
                                                          std::to_string(algorithm)));
    }
    return header;
}

std::expected<void, Error> checkStoredFiles(const Controller &controller,
                                            const std::vector<FileDataRef> &unit)
{
    for (const FileDescription *file : allFiles(controller)) {
        const std::string which = "the file description for \"" + toUtf8(file->target) + "\"";
        if (file->fileIndex >= unit.size())
            return fail(Error{which + " refers to file " + std::to_string(file->fileIndex) +
                              ", past the " + std::to_string(unit.size()) + " files of data unit " +
                              std::to_string(controller.dataIndex)});
        const FileDataRef &data = unit[file->fileIndex];
        if (file->length != data.payloadSize || file->uncompressedLength != data.uncompressedSize)
            return fail(Error{which + " gives lengths " + std::to_string(file->length) + "/" +
                              std::to_string(file->uncompressedLength) + " but file " +
                              std::to_string(file->fileIndex) + " holds " +
                              std::to_string(data.payloadSize) + "/" +
                              std::to_string(data.uncompressedSize)});
    }
    return {};
}

std::expected<void, Error> checkFileReferences(const Controller &controller,
                                               const std::vector<std::vector<FileDataRef>> &units)
{
    // A preinstalled package's files are already on the media, so it may store no data unit at
    // all; its data index and file indexes then refer to nothing.
    const bool nothingStored = units.empty() && isPreinstalled(controller.info.installType);
    if (!nothingStored) {
        if (controller.dataIndex >= units.size())
            return fail(Error{"SISDataIndex " + std::to_string(controller.dataIndex) +
                              " is past the " + std::to_string(units.size()) + " data units" +
                              (units.empty()
                                   ? " (only a preinstalled package, type PA or PP, may store none)"
                                   : "")});
        VELMORA_TRY(checkStoredFiles(controller, units[controller.dataIndex]));
    }
    for (const auto &embedded : controller.installBlock.embedded) {
        VELMORA_TRY(checkFileReferences(embedded, units));
    }
    return {};
}

void collectFiles(const InstallBlock &block, std::vector<const FileDescription *> &out)
{
    for (const auto &file : block.files)
        out.push_back(&file);
    for (const auto &ifBlock : block.ifs) {
        collectFiles(ifBlock.block, out);
        for (const auto &elseIf : ifBlock.elseIfs)
            collectFiles(elseIf.block, out);
    }
}

void collectControllers(const Controller &controller, std::vector<const Controller *> &out)
{
    out.push_back(&controller);
    for (const auto &embedded : controller.installBlock.embedded)
        collectControllers(embedded, out);
}

} // namespace

std::vector<const FileDescription *> allFiles(const Controller &controller)
{
    std::vector<const FileDescription *> files;
    if (controller.logo)
        files.push_back(&*controller.logo);
    collectFiles(controller.installBlock, files);
    return files;
}

std::expected<Package, Error> readPackage(std::span<const std::uint8_t> file)
{
    Space fileSpace{file, "offset"};
    if (file.size() < 16)
        return fail(fileSpace.error(0, "the file has " + std::to_string(file.size()) +
                                           " bytes, fewer than the 16-byte header"));
    Package package;
    package.uid1 = fileSpace.u32At(0);
    package.uid2 = fileSpace.u32At(4);
    package.uid3 = fileSpace.u32At(8);
    package.uidChecksum = fileSpace.u32At(12);
    if (package.uid1 != kUid1) {
        if (package.uid3 == 0x10000419)
            return fail(fileSpace.error(0, "a legacy (pre-Symbian OS 9) package, not supported"));
        return fail(fileSpace.error(0, "UID1 is " + hex(package.uid1, 8) +
                                           ", not 0x10201A7A: not a Symbian OS 9 package"));
    }
    const std::uint32_t expectedChecksum = uidChecksum(package.uid1, package.uid2, package.uid3);
    if (package.uidChecksum != expectedChecksum)
        return fail(fileSpace.error(12, "UID checksum is " + hex(package.uidChecksum, 8) +
                                            ", expected " + hex(expectedChecksum, 8)));

    Cursor top(fileSpace, 16, file.size(), "the file");
    VELMORA_TRY_ASSIGN(auto contentsField, top.field(FieldType::Contents));
    if (!top.atEnd())
        return fail(
            top.error(std::to_string(file.size() - top.pos()) + " bytes follow SISContents"));
    Cursor contents = top.sub(contentsField);

    if (contents.peekType() == static_cast<std::uint32_t>(FieldType::ControllerChecksum)) {
        VELMORA_TRY_ASSIGN(auto field, contents.field(FieldType::ControllerChecksum));
        VELMORA_TRY(expectSize(contents, field, 2));
        package.controllerChecksum =
            static_cast<std::uint16_t>(file[field.dataOffset] | file[field.dataOffset + 1] << 8);
    }
    if (contents.peekType() == static_cast<std::uint32_t>(FieldType::DataChecksum)) {
        VELMORA_TRY_ASSIGN(auto field, contents.field(FieldType::DataChecksum));
        VELMORA_TRY(expectSize(contents, field, 2));
        package.dataChecksum =
            static_cast<std::uint16_t>(file[field.dataOffset] | file[field.dataOffset + 1] << 8);
    }

    package.compressedOffset = contents.pos();
    VELMORA_TRY_ASSIGN(auto compressed, readCompressed(contents));
    package.compressedSize = contents.pos() - package.compressedOffset;
    package.controllerCompression = compressed.algorithm;
    if (compressed.size > kMaxControllerSize)
        return fail(fileSpace.error(package.compressedOffset,
                                    "the controller declares " + std::to_string(compressed.size) +
                                        " bytes, more than this reader accepts"));
    const auto payload = file.subspan(compressed.payloadOffset, compressed.payloadSize);
    if (compressed.algorithm == Compression::Deflate) {
        auto inflated = inflateZlib(payload, compressed.size);
        if (!inflated)
            return fail(fileSpace.error(compressed.payloadOffset,
                                        "the compressed controller " + inflated.error()));
        package.controllerField = std::move(*inflated);
    } else {
        package.controllerField.assign(payload.begin(), payload.end());
    }

    package.dataOffset = contents.pos();
    VELMORA_TRY_ASSIGN(auto dataField, contents.field(FieldType::Data));
    package.dataSize = dataField.end - dataField.offset;
    VELMORA_TRY(contents.finish());

    // The controller, in its own address space.
    Space controllerSpace{package.controllerField, "controller offset"};
    Cursor controllerCursor(controllerSpace, 0, package.controllerField.size(),
                            "the decompressed controller");
    VELMORA_TRY_ASSIGN(auto controllerField, controllerCursor.field(FieldType::Controller));
    if (controllerField.dataOffset + controllerField.dataSize != package.controllerField.size())
        return fail(controllerSpace.error(0, "SISController is " +
                                                 std::to_string(controllerField.end) +
                                                 " bytes but the uncompressed size says " +
                                                 std::to_string(package.controllerField.size())));
    package.controllerHeaderSize = controllerField.dataOffset;
    Cursor controllerMembers = controllerCursor.sub(controllerField);
    VELMORA_TRY_ASSIGN(auto controller,
                       readControllerMembers(controllerMembers, 0, &package.signedRegionEnds));
    package.controller = std::move(controller);
    if (package.controller.info.uid != package.uid3)
        return fail(Error{"the package UID in SISInfo, " + hex(package.controller.info.uid, 8) +
                          ", differs from UID3 " + hex(package.uid3, 8)});

    // The data section.
    Cursor dataMembers = contents.sub(dataField);
    VELMORA_TRY_ASSIGN(auto units, openArray(dataMembers, FieldType::DataUnit));
    while (!units.atEnd()) {
        VELMORA_TRY_ASSIGN(auto unitElement, units.element(FieldType::DataUnit));
        Cursor unitMembers = units.sub(unitElement);
        VELMORA_TRY_ASSIGN(auto files, openArray(unitMembers, FieldType::FileData));
        std::vector<FileDataRef> unit;
        while (!files.atEnd()) {
            VELMORA_TRY_ASSIGN(auto fileElement, files.element(FieldType::FileData));
            Cursor fileMembers = files.sub(fileElement);
            VELMORA_TRY_ASSIGN(auto header, readCompressed(fileMembers));
            VELMORA_TRY(fileMembers.finish());
            unit.push_back(FileDataRef{header.algorithm, header.size, header.payloadOffset,
                                       header.payloadSize});
        }
        VELMORA_TRY(unitMembers.finish());
        package.dataUnits.push_back(std::move(unit));
    }
    VELMORA_TRY(dataMembers.finish());
    VELMORA_TRY(checkFileReferences(package.controller, package.dataUnits));
    return package;
}

std::span<const std::uint8_t> signedRegion(const Package &package, std::size_t chain)
{
    const std::size_t end = package.signedRegionEnds.at(chain);
    return std::span<const std::uint8_t>(package.controllerField)
        .subspan(package.controllerHeaderSize, end - package.controllerHeaderSize);
}

std::vector<std::string> checksumProblems(const Package &package,
                                          std::span<const std::uint8_t> file)
{
    std::vector<std::string> problems;
    if (package.controllerChecksum) {
        const auto actual = crc16(file.subspan(package.compressedOffset, package.compressedSize));
        if (actual != *package.controllerChecksum)
            problems.push_back("controller checksum is " + hex(*package.controllerChecksum, 4) +
                               ", the controller's CRC is " + hex(actual, 4));
    }
    if (package.dataChecksum) {
        const auto actual = crc16(file.subspan(package.dataOffset, package.dataSize));
        if (actual != *package.dataChecksum)
            problems.push_back("data checksum is " + hex(*package.dataChecksum, 4) +
                               ", the data's CRC is " + hex(actual, 4));
    }
    return problems;
}

std::vector<std::string> hashProblems(const Package &package, std::span<const std::uint8_t> file)
{
    std::vector<std::string> problems;
    std::vector<const Controller *> controllers;
    collectControllers(package.controller, controllers);
    for (const Controller *controller : controllers) {
        // A preinstalled package that stores no data: its files are on the media, not here.
        if (controller->dataIndex >= package.dataUnits.size())
            continue;
        for (const FileDescription *description : allFiles(*controller)) {
            // readPackage has checked that the reference is in range.
            const FileDataRef &data =
                package.dataUnits[controller->dataIndex][description->fileIndex];
            const auto payload = file.subspan(data.payloadOffset, data.payloadSize);
            const std::string which = "file " + std::to_string(description->fileIndex) + " (\"" +
                                      toUtf8(description->target) + "\")";
            Sha1 sha1;
            if (data.algorithm == Compression::Deflate) {
                auto inflated = inflateZlib(payload, data.uncompressedSize,
                                            [&sha1](std::span<const std::uint8_t> piece) {
                                                sha1.update(piece);
                                                return true;
                                            });
                if (!inflated) {
                    problems.push_back(which + ": " + inflated.error());
                    continue;
                }
            } else {
                sha1.update(payload);
            }
            const auto digest = sha1.finish();
            if (!std::equal(digest.begin(), digest.end(), description->hash.begin(),
                            description->hash.end()))
                problems.push_back(which +
                                   ": SHA-1 of the contents does not match the stored hash");
        }
    }
    return problems;
}

} // namespace velmora::sis
