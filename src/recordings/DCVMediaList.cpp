#include "recordings/DCVMediaList.h"

#include "recordings/RecordingScan.h"

namespace dcv {

DCVMediaList::DCVMediaList() : m_medias(std::make_shared<const std::vector<DCVMediaPtr>>()) {}

void DCVMediaList::setDirectoryPath(const std::optional<std::string>& path) {
    std::lock_guard lock(m_mutex);
    m_directoryPath = path;
}

void DCVMediaList::publish(std::vector<DCVMediaPtr> medias, RecordingScanReport report) {
    {
        std::lock_guard lock(m_mutex);
        m_medias = std::make_shared<const std::vector<DCVMediaPtr>>(std::move(medias));
        m_scanReport = std::move(report);
    }
    if (DCVMediaListDelegate* d = m_delegate.load())
        d->mediaListChanged(*this);
}

std::optional<std::string> DCVMediaList::directoryPath() const {
    std::lock_guard lock(m_mutex);
    return m_directoryPath;
}

DCVMediaList::Snapshot DCVMediaList::medias() const {
    std::lock_guard lock(m_mutex);
    return m_medias;
}

RecordingScanReport DCVMediaList::scanReport() const {
    std::lock_guard lock(m_mutex);
    return m_scanReport;
}

DCVMediaPtr DCVMediaList::mediaAtIndex(int64_t index) const {
    const Snapshot s = medias();
    if (uint64_t(index) >= s->size())
        return nullptr;
    return (*s)[size_t(index)];
}

void DCVMediaList::addMedia(DCVMediaPtr media) {
    std::lock_guard lock(m_mutex);
    auto next = std::make_shared<std::vector<DCVMediaPtr>>(*m_medias);
    next->push_back(std::move(media));
    m_medias = std::move(next);
}

DCVMediaPtr DCVMediaList::createMediaByPath(std::string_view path) {
    if (!acceptsRecordingName(naming::splitPath(path).stem))
        return nullptr;
    return DCVMedia::mediaWithPath(path);
}

void DCVMediaList::eachDir(const std::string& directory, std::vector<DCVMediaPtr>& array) {
    walkRecordings(directory, array);
}

std::string DCVMediaList::groupNameForPath(std::string_view path) {
    std::string_view stem = naming::splitPath(path).stem;
    if (stem.ends_with("_F") || stem.ends_with("_R"))
        stem.remove_suffix(2);
    return std::string(stem);
}

DCVMediaPairPtr DCVMediaList::findMediaPairWithFileName(std::string_view path) const {
    auto it = m_mediaPairDic.find(groupNameForPath(path));
    return it == m_mediaPairDic.end() ? nullptr : it->second;
}

} // namespace dcv
