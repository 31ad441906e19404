#pragma once

#include "recordings/DCVMedia.h"
#include "recordings/RecordingScan.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace dcv {

class DCVMediaList;

class DCVMediaListDelegate {
public:
    virtual ~DCVMediaListDelegate() = default;
    // Called on the scan's worker thread with the complete, sorted list already published.
    virtual void mediaListChanged(DCVMediaList& list) = 0;
};

struct DCVMediaPair {
    static std::shared_ptr<DCVMediaPair> mediaPair() { return std::make_shared<DCVMediaPair>(); }
    DCVMediaPtr frontMedia;
    DCVMediaPtr rearMedia;
};
using DCVMediaPairPtr = std::shared_ptr<DCVMediaPair>;

// The recordings under a folder. Setting the directory path starts a scan on a worker thread;
// the result replaces the entries in one step, so readers on other threads always see a
// complete list. A newer scan supersedes a running one, whose result is dropped.
class DCVMediaList {
public:
    using Snapshot = std::shared_ptr<const std::vector<DCVMediaPtr>>;

    DCVMediaList();
    ~DCVMediaList();
    DCVMediaList(const DCVMediaList&) = delete;
    DCVMediaList& operator=(const DCVMediaList&) = delete;

    static std::unique_ptr<DCVMediaList> mediaList() { return std::make_unique<DCVMediaList>(); }

    void setDirectoryPath(const std::optional<std::string>& path);
    std::optional<std::string> directoryPath() const;

    void setDelegate(DCVMediaListDelegate* delegate) { m_delegate.store(delegate); }
    DCVMediaListDelegate* delegate() const { return m_delegate.load(); }

    int64_t count() const { return int64_t(medias()->size()); }
    DCVMediaPtr mediaAtIndex(int64_t index) const;
    // The current entries; the vector behind it is never changed after it was published.
    Snapshot medias() const;
    // What the scan that made the current entries could not read (folders, the limit),
    // published together with them.
    RecordingScanReport scanReport() const;
    void addMedia(DCVMediaPtr media);

    static DCVMediaPtr createMediaByPath(std::string_view path);
    static void eachDir(const std::string& directory, std::vector<DCVMediaPtr>& array);

    std::map<std::string, DCVMediaPairPtr>& mediaPairDic() { return m_mediaPairDic; }
    DCVMediaPairPtr findMediaPairWithFileName(std::string_view path) const;
    static std::string groupNameForPath(std::string_view path);

    // Waits until no scan is running (for tools and tests).
    void waitForScans();

private:
    struct Scan {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void reapFinishedScans();

    mutable std::mutex m_mutex; // guards m_medias, m_scanReport, m_directoryPath and m_scans
    Snapshot m_medias;
    RecordingScanReport m_scanReport;
    std::optional<std::string> m_directoryPath;
    std::vector<Scan> m_scans;
    uint64_t m_generation = 0;
    std::atomic<DCVMediaListDelegate*> m_delegate{nullptr};
    std::map<std::string, DCVMediaPairPtr> m_mediaPairDic;
};

} // namespace dcv
