#pragma once

// Showing and editing a settings record field by field, by name, for the command-line tool:
// the listing of every field, and assignments checked against what the settings window could
// have stored.

#include "settings/SettingsRecord.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dcv {

// A text as it is listed: bytes that are not printable UTF-8 (control characters, broken
// sequences) and the backslash become "\xNN", so every value fits on its line unambiguously.
std::string escapeSettingsText(std::string_view bytes);

// One field's value as listed: integers in decimal, texts up to their first NUL, escaped.
std::string settingsFieldValueText(const _FILEDATA& record, const SettingsFieldDescriptor& field);

// "name=value" for every field in file order, then the checksum line; each line ends with a
// newline.
std::string settingsRecordListing(const _FILEDATA& record);
inline bool settingsChecksumMatches(const _FILEDATA& record) {
    return record.checksum == computeSettingsChecksum(record);
}
enum class SettingsChecksumState {
    Ok,          // the stored word is the computed one
    NotComputed, // 65535, as factory defaults carry it until the settings are first saved
    Mismatch,
};
SettingsChecksumState settingsChecksumState(const _FILEDATA& record);
// "checksum=ok", "checksum=not-computed stored=65535" or "checksum=mismatch stored=N computed=M".
std::string settingsChecksumLine(const _FILEDATA& record);

enum class SettingsFieldAccess {
    Editable, // a settings tab edits it
    Fixed,    // never edited: formatMarker, modelName and the access point's name and password
    Computed, // set on every save: checksum, carNumberSet
    Reserved,
};
SettingsFieldAccess settingsFieldAccess(const SettingsFieldDescriptor& field);

// What an editable field may hold, as a phrase for messages ("0, 10, 30, 60", "5 to 150", ...);
// the ADAS speeds depend on the speed unit.
std::string allowedSettingsValues(const SettingsFieldDescriptor& field, uint32_t speedUnit);

// Why an argument was refused: the argument as given and the reason, naming the allowed values.
struct SettingsRefusal {
    std::string argument;
    std::string reason;
    std::string message() const { return argument + ": " + reason; }
};

// Applies "name=value" arguments to the record, all or nothing: the first argument that names
// no field, a field that cannot be set, or a value the settings window could not store, refuses
// the lot and leaves the record unchanged. Changing speedDisplayUnit converts ldwsSpeed and
// fcwsSpeed as the GPS tab does, unless they are given too; given speeds must be in the table
// of the resulting unit. When any card share is given, the three shares must add up to 100.
// carNumberSet and the checksum are left to prepareSettingsRecordForSave.
std::optional<SettingsRefusal> applySettingsAssignments(_FILEDATA& record,
                                                        std::span<const std::string> arguments);

} // namespace dcv
