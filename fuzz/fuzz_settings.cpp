// A settings file comes from whatever is on the card. The first 500 bytes are the file; what
// follows, one per line, are name=value edits as `dcv config set` takes them. The harness
// shows the record, applies the edits, saves it into a folder of its own and reads it back.
#include "settings/DCVValidator.h"
#include "settings/SettingsEditor.h"
#include "settings/SettingsRecord.h"
#include "util/Log.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace dcv;

namespace {

const std::string& workDir() {
    // Never destroyed: the exit handler below still needs it.
    static const std::string* dir = [] {
        // Memory-backed when possible: every run saves and syncs a file.
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string templ = (base / "dcv-fuzz-settings-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(workDir(), ec);
        });
        setLogSink([](const std::string&) {});
        return new std::string(templ);
    }();
    return *dir;
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkListing(const _FILEDATA& record) {
    const std::string listing = settingsRecordListing(record);
    size_t lines = 0;
    for (const char c : listing) {
        lines += c == '\n';
        check(c == '\n' || uint8_t(c) >= 0x20);
    }
    check(lines == kSettingsFields.size() + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string dir = workDir();
    const std::string input = dir + "/input.bin";
    const size_t fileSize = std::min(size, kSettingsRecordSize);
    {
        std::ofstream f(input, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), std::streamsize(fileSize));
    }
    _FILEDATA record = defaultSettingsRecord([] { return LocalTime{1, 2, 0}; });
    const SettingsRecordBytes before = settingsRecordBytes(record);
    const bool read = readSettingsRecord(input, record);
    check(read == (fileSize == kSettingsRecordSize));
    if (!read) {
        check(settingsRecordBytes(record) == before);
        return 0;
    }
    check(std::memcmp(settingsRecordBytes(record).data(), data, kSettingsRecordSize) == 0);
    checkListing(record);

    std::vector<std::string> edits;
    const std::string rest(reinterpret_cast<const char*>(data) + fileSize, size - fileSize);
    for (size_t start = 0; start < rest.size();) {
        const size_t end = std::min(rest.find('\n', start), rest.size());
        edits.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& e : edits) {
        const std::string_view value = std::string_view(e).substr(std::min(e.find('='), e.size()));
        (void)DCVValidator::validateGsensorThreshold(value);
        if (value.size() <= 256)
            check(DCVValidator::numericStringFromString(value).size() <= value.size());
        check(filterCarNumber(value).size() <= kCarNumberMaxLength);
    }

    const SettingsRecordBytes loaded = settingsRecordBytes(record);
    if (!edits.empty()) {
        if (applySettingsAssignments(record, edits)) {
            check(settingsRecordBytes(record) == loaded); // refused: nothing changed
        } else {
            prepareSettingsRecordForSave(record);
            check(settingsChecksumMatches(record));
            check(record.formatMarker == settingsRecordFromBytes(loaded).formatMarker);
            checkListing(record);
        }
    }

    const std::string saved = dir + "/config.bin";
    check(!writeSettingsRecord(record, saved));
    _FILEDATA back{};
    check(readSettingsRecord(saved, back));
    check(settingsRecordBytes(back) == settingsRecordBytes(record));
    return 0;
}
