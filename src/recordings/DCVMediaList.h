#pragma once

#include "recordings/DCVMedia.h"
#include "recordings/RecordingScan.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace dcv {

class DCVMediaList;

class DCVMediaListDelegate {
public:
    virtual ~DCVMediaListDelegate() = default;
    // Called with the complete, sorted list already published, on the thread that published it.
    virtual void mediaListChanged(DCVMediaList& list) = 0;
};

struct DCVMediaPair {
    static std::shared_ptr<DCVMediaPair> mediaPair() { return std::make_shared<DCVMediaPair>(); }
    DCVMediaPtr frontMedia;
    DCVMediaPtr rearMedia;
};
using DCVMediaPairPtr = std::shared_ptr<DCVMediaPair>;

// The recordings under a folder. The scan of a folder (scanRecordings) runs wherever its caller
// runs it, a worker for the window; its result replaces the entries in one step (publish), so
// readers on other threads always see a complete list, and snapshots taken before stay intact.
class DCVMediaList {
public:
    using Snapshot = std::shared_ptr<const std::vector<DCVMediaPtr>>;

    DCVMediaList();
    DCVMediaList(const DCVMediaList&) = delete;
    DCVMediaList& operator=(const DCVMediaList&) = delete;

    static std::unique_ptr<DCVMediaList> mediaList() { return std::make_unique<DCVMediaList>(); }

    // The folder whose recordings the list holds (or is about to hold); none keeps the entries.
    void setDirectoryPath(const std::optional<std::string>& path);
    std::optional<std::string> directoryPath() const;
    // Replaces the entries with a scan's result in one step and tells the delegate. The report
    // says what that scan could not read (folders, the limit).
    void publish(std::vector<DCVMediaPtr> medias, RecordingScanReport report = {});

    void setDelegate(DCVMediaListDelegate* delegate) { m_delegate.store(delegate); }
    DCVMediaListDelegate* delegate() const { return m_delegate.load(); }

    int64_t count() const { return int64_t(medias()->size()); }
    DCVMediaPtr mediaAtIndex(int64_t index) const;
    // The current entries; the vector behind it is never changed after it was published.
    Snapshot medias() const;
    // What the scan that made the current entries could not read, published with them.
    RecordingScanReport scanReport() const;
    void addMedia(DCVMediaPtr media);

    static DCVMediaPtr createMediaByPath(std::string_view path);
    static void eachDir(const std::string& directory, std::vector<DCVMediaPtr>& array);

    std::map<std::string, DCVMediaPairPtr>& mediaPairDic() { return m_mediaPairDic; }
    DCVMediaPairPtr findMediaPairWithFileName(std::string_view path) const;
    static std::string groupNameForPath(std::string_view path);

private:
    mutable std::mutex m_mutex; // guards m_medias, m_scanReport and m_directoryPath
    Snapshot m_medias;
    RecordingScanReport m_scanReport;
    std::optional<std::string> m_directoryPath;
    std::atomic<DCVMediaListDelegate*> m_delegate{nullptr};
    std::map<std::string, DCVMediaPairPtr> m_mediaPairDic;
};

} // namespace dcv
