#pragma once

#include "recordings/DCVMedia.h"

#include <atomic>
#include <string>
#include <vector>

namespace dcv {

inline constexpr size_t kMediaListLimit = 15000;

// The camera-name filter of the recording list: template length, prefix and timestamp bounds.
bool acceptsRecordingName(std::string_view stem);
bool _checkTimeByName(std::string_view name, size_t start);

// What a scan could not do, so that an unreadable card is not taken for an empty one.
struct RecordingScanReport {
    // "path: reason" of each folder that could not be listed (whole or in part), in walk order.
    std::vector<std::string> unreadableFolders;
    // The limit of kMediaListLimit recordings ended the scan with more names left to look at.
    bool limitReached = false;
    bool complete() const { return unreadableFolders.empty() && !limitReached; }
    friend bool operator==(const RecordingScanReport&, const RecordingScanReport&) = default;
};

// Walks `directory` and its subfolders (links followed, each directory once) and returns the
// recordings sorted by time, kind and then path. `cancelled`, when given, is polled so that a
// newer scan can stop an older one; a cancelled scan returns what it had, unsorted. `report`,
// when given, receives what the walk could not read.
std::vector<DCVMediaPtr> scanRecordings(const std::string& directory,
                                        const std::atomic<bool>* cancelled = nullptr,
                                        RecordingScanReport* report = nullptr);

// A scan's recordings with its report, as one value a worker hands over.
struct RecordingScan {
    std::vector<DCVMediaPtr> medias;
    RecordingScanReport report;
};
RecordingScan scanRecordingsWithReport(const std::string& directory,
                                       const std::atomic<bool>* cancelled = nullptr);

// The walk alone: appends what it finds to `array` in directory order, ending each directory's
// listing once `array` holds the limit.
void walkRecordings(const std::string& directory, std::vector<DCVMediaPtr>& array,
                    const std::atomic<bool>* cancelled = nullptr, RecordingScanReport* report = nullptr);

// Sorts as the list publishes: compareDate order, equal entries by path.
void sortRecordings(std::vector<DCVMediaPtr>& medias);

} // namespace dcv
