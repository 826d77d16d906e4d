#include "platform/app/DataSet.h"

#include "host/Folders.h"
#include "platform/io/ApplicationProperties.h"
#include "platform/io/ResourceArchive.h"
#include "platform/io/constants.h"
#include "platform/io/fileio.h"

#include <string>

namespace platform {

StartupResult loadDataSet() {
    host::Folders* folders = fileFolders();
    std::FILE* archive = openFile(ResourceArchive::getPath(), "rb");
    if (!archive)
        return StartupResult::missingDataSet(folders ? folders->programFolder()
                                                     : std::string("the program folder"));
    closeFile(archive);
    if (!ResourceArchive::loadIndex())
        return StartupResult::broken("data.bar", ResourceArchive::indexFault());
    if (!loadConstants())
        return StartupResult::broken("data.bar", "its constant strings (/constants.bin) cannot be loaded");
    if (std::string problem; !checkAppDescriptor(&problem))
        return StartupResult::broken("app.jad", problem);
    return StartupResult::ready();
}

} // namespace platform
