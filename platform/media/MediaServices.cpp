#include "platform/media/MediaServices.h"

#include "runtime/StaticClass.h"

#include <atomic>

namespace platform {

namespace {

struct MediaStatics {
    MediaServices m_services;
    std::atomic<std::int32_t> m_temporaryFiles{0};
    RT_NO_REFERENCE_FIELDS(MediaStatics, rt::NoReferenceBase)
};

MediaStatics& statics() {
    return rt::getStaticClass().statics<MediaStatics>();
}

} // namespace

void setMediaServices(const MediaServices& services) {
    statics().m_services = services;
}

const MediaServices& mediaServices() {
    return statics().m_services;
}

std::int32_t nextTemporaryFileNumber() {
    return ++statics().m_temporaryFiles;
}

} // namespace platform
