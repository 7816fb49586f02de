#include "preview/ChatSample.h"
#include "preview/ContactList.h"
#include "preview/Smiles.h"

// The contact list, sample chat and smiley list readers, and the display list built from what
// they read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const CL list = readCList(bytes);
    for (bool groups : {false, true})
        (void)buildDisplayList(list, groups, !groups, groups);
    (void)readChatSample(bytes);
    (void)TSmiles(bytes);
    return 0;
}
