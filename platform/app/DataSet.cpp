#include "platform/app/DataSet.h"

#include "host/Folders.h"
#include "platform/io/ResourceArchive.h"
#include "platform/io/constants.h"
#include "platform/io/fileio.h"

namespace platform {

StartupResult loadDataSet() {
    host::Folders* folders = fileFolders();
    std::FILE* archive = openFile(ResourceArchive::getPath(), "rb");
    if (!archive)
        return StartupResult::missingDataSet(folders ? folders->programFolder()
                                                     : std::string("the program folder"));
    closeFile(archive);
    if (!loadConstants())
        return StartupResult::broken("data.bar", "its constant strings (/constants.bin) cannot be loaded");
    return StartupResult::ready();
}

} // namespace platform
