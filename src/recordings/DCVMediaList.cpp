#include "recordings/DCVMediaList.h"

#include "recordings/RecordingScan.h"

namespace dcv {

DCVMediaList::DCVMediaList() : m_medias(std::make_shared<const std::vector<DCVMediaPtr>>()) {}

DCVMediaList::~DCVMediaList() {
    std::vector<Scan> scans;
    {
        std::lock_guard lock(m_mutex);
        scans.swap(m_scans);
        ++m_generation;
    }
    for (auto& s : scans) {
        s.cancelled->store(true);
        s.thread.join();
    }
}

void DCVMediaList::setDirectoryPath(const std::optional<std::string>& path) {
    std::lock_guard lock(m_mutex);
    m_directoryPath = path;
    if (!path)
        return;
    for (auto& s : m_scans)
        s.cancelled->store(true);
    const uint64_t generation = ++m_generation;
    Scan scan{{}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    scan.thread = std::thread([this, dir = *path, generation, cancelled = scan.cancelled, done = scan.done] {
        RecordingScanReport report;
        std::vector<DCVMediaPtr> found = scanRecordings(dir, cancelled.get(), &report);
        bool current = false;
        {
            std::lock_guard lock(m_mutex);
            current = generation == m_generation && !cancelled->load();
            if (current) {
                m_medias = std::make_shared<const std::vector<DCVMediaPtr>>(std::move(found));
                m_scanReport = std::move(report);
            }
        }
        if (current)
            if (DCVMediaListDelegate* d = m_delegate.load())
                d->mediaListChanged(*this);
        done->store(true);
    });
    reapFinishedScans();
    m_scans.push_back(std::move(scan));
}

void DCVMediaList::reapFinishedScans() {
    for (auto it = m_scans.begin(); it != m_scans.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = m_scans.erase(it);
        } else {
            ++it;
        }
    }
}

void DCVMediaList::waitForScans() {
    for (;;) {
        std::vector<Scan> scans;
        {
            std::lock_guard lock(m_mutex);
            scans.swap(m_scans);
        }
        if (scans.empty())
            return;
        for (auto& s : scans)
            s.thread.join();
    }
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
