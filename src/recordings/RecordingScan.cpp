#include "recordings/RecordingScan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace dcv {

bool _checkTimeByName(std::string_view name, size_t start) {
    naming::Timestamp t;
    bool longEnough = false;
    return naming::readTimestamp(name, start, t, longEnough);
}

bool acceptsRecordingName(std::string_view stem) {
    if (!naming::isTemplateLength(stem.size()))
        return false;
    int32_t division = 0;
    size_t start = 0;
    if (!naming::prefixOf(stem, division, start))
        return true; // a template length without a known prefix is listed with a zero timestamp
    return _checkTimeByName(stem, start);
}

namespace {

bool hasRecordingExtension(std::string_view ext) {
    return ext.size() == 3 &&
           (strncasecmp(ext.data(), "mp4", 3) == 0 || strncasecmp(ext.data(), "avi", 3) == 0);
}

std::string_view extensionOf(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
}

// The filter's verdict from a parsed entry, so the walk reads each name once: a template length,
// and with a known prefix a timestamp in bounds (a valid year is never 0).
bool acceptedAfterParse(const DCVMedia& m) {
    const std::string_view stem = m.mediaName();
    if (!naming::isTemplateLength(stem.size()))
        return false;
    int32_t division = 0;
    size_t start = 0;
    return !naming::prefixOf(stem, division, start) || m.year() != 0;
}

class Walker {
public:
    Walker(std::vector<DCVMediaPtr>& out, const std::atomic<bool>* cancelled, RecordingScanReport* report)
        : m_out(out), m_cancelled(cancelled), m_report(report) {}

    void eachDir(const std::string& directory) {
        struct stat st {};
        if (::stat(directory.c_str(), &st) != 0) {
            unreadable(directory, errno);
            return;
        }
        // A link loop would bring us back to a directory already walked.
        if (!m_visited.insert({st.st_dev, st.st_ino}).second)
            return;
        DIR* d = ::opendir(directory.c_str());
        if (d == nullptr) {
            unreadable(directory, errno);
            return;
        }
        std::string joined = directory;
        if (joined.empty() || joined.back() != '/')
            joined.push_back('/');
        const size_t base = joined.size();
        for (;;) {
            errno = 0;
            dirent* e = ::readdir(d);
            if (e == nullptr) {
                if (errno != 0) // a card pulled, a damaged folder: the rest of it is unknown
                    unreadable(directory, errno);
                break;
            }
            if (m_cancelled && m_cancelled->load(std::memory_order_relaxed))
                break;
            const char* name = e->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            joined.resize(base);
            joined.append(name);
            const Kind kind = kindOf(e->d_type, joined);
            if (kind == Kind::Folder) {
                eachDir(joined);
                continue;
            }
            // A pipe, device or dangling link named like a recording is no recording.
            if (kind != Kind::File || !hasRecordingExtension(extensionOf(name)))
                continue;
            DCVMediaPtr media = DCVMedia::mediaWithPath(joined);
            if (!acceptedAfterParse(*media))
                continue;
            // An append past the limit is one the limit did not keep from being the last.
            if (m_report && m_out.size() >= kMediaListLimit)
                m_report->limitReached = true;
            m_out.push_back(std::move(media));
            if (m_out.size() >= kMediaListLimit) {
                if (m_report && !m_report->limitReached)
                    m_report->limitReached = hasMoreNames(d);
                break;
            }
        }
        ::closedir(d);
    }

private:
    void unreadable(const std::string& directory, int error) {
        if (m_report)
            m_report->unreadableFolders.push_back(directory + ": " + std::strerror(error));
    }

    // Whether the listing the limit ended had names left; what they are is not looked at.
    static bool hasMoreNames(DIR* d) {
        while (dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                return true;
        return false;
    }

    enum class Kind { Folder, File, Other };
    // From the listing's type where it tells; links (and file systems that do not say) are
    // followed.
    static Kind kindOf(unsigned char type, const std::string& path) {
        switch (type) {
        case DT_DIR:
            return Kind::Folder;
        case DT_REG:
            return Kind::File;
        case DT_LNK:
        case DT_UNKNOWN:
            break;
        default:
            return Kind::Other;
        }
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return Kind::Other;
        return S_ISDIR(st.st_mode) ? Kind::Folder : S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
    }

    std::vector<DCVMediaPtr>& m_out;
    const std::atomic<bool>* m_cancelled;
    RecordingScanReport* m_report;
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

// For names that passed the filter the fields are either all zero or within their bounds and
// widths, so this number orders exactly as the yyyymmddhhmiss text does, without formatting it
// for every comparison.
int64_t timeKey(const DCVMedia& m) {
    return ((((int64_t(m.year()) * 100 + m.month()) * 100 + m.day()) * 100 + m.hour()) * 100 + m.minute()) *
               100 +
           m.second();
}

bool fieldsHaveTextWidths(const DCVMedia& m) {
    return m.year() >= 0 && m.year() <= 9999 && m.month() >= 0 && m.month() <= 99 && m.day() >= 0 &&
           m.day() <= 99 && m.hour() >= 0 && m.hour() <= 99 && m.minute() >= 0 && m.minute() <= 99 &&
           m.second() >= 0 && m.second() <= 99;
}

} // namespace

void sortRecordings(std::vector<DCVMediaPtr>& medias) {
    const bool numeric =
        medias.size() <= UINT32_MAX && std::all_of(medias.begin(), medias.end(), [](const DCVMediaPtr& m) {
            return fieldsHaveTextWidths(*m) && m->mediaDivision() >= 0 && m->mediaDivision() <= 3;
        });
    if (numeric) {
        // Time and division folded into one number (a higher division first at the same time),
        // sorted with plain indices: no reference counts move and ties are rare.
        std::vector<std::pair<int64_t, uint32_t>> keyed;
        keyed.reserve(medias.size());
        for (size_t i = 0; i < medias.size(); ++i)
            keyed.emplace_back(timeKey(*medias[i]) * 4 + (3 - medias[i]->mediaDivision()), uint32_t(i));
        std::sort(keyed.begin(), keyed.end(), [&medias](const auto& a, const auto& b) {
            if (a.first != b.first)
                return a.first < b.first;
            return medias[a.second]->path() < medias[b.second]->path();
        });
        std::vector<DCVMediaPtr> sorted;
        sorted.reserve(medias.size());
        for (const auto& k : keyed)
            sorted.push_back(std::move(medias[k.second]));
        medias = std::move(sorted);
        return;
    }
    std::sort(medias.begin(), medias.end(), [](const DCVMediaPtr& a, const DCVMediaPtr& b) {
        const int64_t c = a->compareDate(*b);
        return c != 0 ? c < 0 : a->path() < b->path();
    });
}

void walkRecordings(const std::string& directory, std::vector<DCVMediaPtr>& array,
                    const std::atomic<bool>* cancelled, RecordingScanReport* report) {
    Walker(array, cancelled, report).eachDir(directory);
}

std::vector<DCVMediaPtr> scanRecordings(const std::string& directory, const std::atomic<bool>* cancelled,
                                        RecordingScanReport* report) {
    std::vector<DCVMediaPtr> found;
    walkRecordings(directory, found, cancelled, report);
    if (cancelled && cancelled->load())
        return found;
    sortRecordings(found);
    return found;
}

RecordingScan scanRecordingsWithReport(const std::string& directory, const std::atomic<bool>* cancelled) {
    RecordingScan scan;
    scan.medias = scanRecordings(directory, cancelled, &scan.report);
    return scan;
}

} // namespace dcv
