#include "settings/SettingsEditor.h"

#include "settings/SettingsRules.h"

#include <cstdio>
#include <set>
#include <vector>

namespace dcv {
namespace {

// ---- Listing

bool printable(uint32_t cp) {
    return cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp <= 0x9F);
}

// Length of the well-formed UTF-8 sequence at `i` and its code point; 0 when it is not one.
size_t utf8Sequence(std::string_view s, size_t i, uint32_t& cp) {
    const auto b0 = uint8_t(s[i]);
    size_t n;
    uint32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        n = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto b = uint8_t(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

std::string escapeSettingsText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        uint32_t cp = 0;
        const size_t n = utf8Sequence(bytes, i, cp);
        if (n > 0 && printable(cp) && cp != '\\') {
            out.append(bytes.substr(i, n));
            i += n;
            continue;
        }
        // A printable character is never split: a bad sequence is escaped one byte at a time.
        const size_t count = n > 0 ? n : 1;
        for (size_t k = 0; k < count; ++k) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", unsigned(uint8_t(bytes[i + k])));
            out += esc;
        }
        i += count;
    }
    return out;
}

std::string settingsFieldValueText(const _FILEDATA& record, const SettingsFieldDescriptor& field) {
    if (field.type == SettingsFieldType::Text) {
        const auto bytes = settingsFieldBytes(record, field);
        return escapeSettingsText(
            settingsText(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    return std::to_string(settingsFieldInteger(record, field));
}

SettingsChecksumState settingsChecksumState(const _FILEDATA& record) {
    if (settingsChecksumMatches(record))
        return SettingsChecksumState::Ok;
    return record.checksum == kUncomputedChecksum ? SettingsChecksumState::NotComputed
                                                  : SettingsChecksumState::Mismatch;
}

std::string settingsChecksumLine(const _FILEDATA& record) {
    const uint32_t computed = computeSettingsChecksum(record);
    switch (settingsChecksumState(record)) {
    case SettingsChecksumState::Ok:
        return "checksum=ok\n";
    case SettingsChecksumState::NotComputed:
        return "checksum=not-computed stored=" + std::to_string(kUncomputedChecksum) + "\n";
    case SettingsChecksumState::Mismatch:
        break;
    }
    return "checksum=mismatch stored=" + std::to_string(record.checksum) +
           " computed=" + std::to_string(computed) + "\n";
}

std::string settingsRecordListing(const _FILEDATA& record) {
    std::string out;
    out.reserve(4096);
    for (const SettingsFieldDescriptor& f : kSettingsFields) {
        out += f.name;
        out += '=';
        out += settingsFieldValueText(record, f);
        out += '\n';
    }
    out += settingsChecksumLine(record);
    return out;
}

SettingsFieldAccess settingsFieldAccess(const SettingsFieldDescriptor& field) {
    if (field.reserved)
        return SettingsFieldAccess::Reserved;
    if (field.name == "checksum" || field.name == "carNumberSet")
        return SettingsFieldAccess::Computed;
    if (findSettingsRule(field.name) == nullptr)
        return SettingsFieldAccess::Fixed;
    return SettingsFieldAccess::Editable;
}

std::string allowedSettingsValues(const SettingsFieldDescriptor& field, uint32_t speedUnit) {
    const SettingsFieldRule* rule = findSettingsRule(field.name);
    return rule ? allowedSettingsValues(*rule, speedUnit) : "no value";
}

std::optional<SettingsRefusal> applySettingsAssignments(_FILEDATA& record,
                                                        std::span<const std::string> arguments) {
    struct Parsed {
        const std::string* argument;
        const SettingsFieldRule* rule;
        std::string_view value;
    };
    std::vector<Parsed> parsed;
    std::set<std::string_view> seen;
    uint32_t unit = record.speedDisplayUnit;
    const SettingsFieldRule& unitRule = settingsRule("speedDisplayUnit");
    for (const std::string& argument : arguments) {
        const size_t eq = argument.find('=');
        if (eq == std::string::npos)
            return SettingsRefusal{argument, "expected name=value"};
        const std::string_view name = std::string_view(argument).substr(0, eq);
        const std::string_view value = std::string_view(argument).substr(eq + 1);
        const SettingsFieldDescriptor* field = findSettingsField(name);
        if (field == nullptr)
            return SettingsRefusal{argument, "no field is called \"" + escapeSettingsText(name) + "\""};
        const std::string n(name);
        switch (settingsFieldAccess(*field)) {
        case SettingsFieldAccess::Reserved:
            return SettingsRefusal{argument, n + " is reserved and cannot be set"};
        case SettingsFieldAccess::Computed:
            return SettingsRefusal{argument, n + " is computed when the file is saved and cannot be set"};
        case SettingsFieldAccess::Fixed:
            return SettingsRefusal{argument, n + " is not edited by the settings window and cannot be set"};
        case SettingsFieldAccess::Editable:
            break;
        }
        if (!seen.insert(field->name).second)
            return SettingsRefusal{argument, n + " is given more than once"};
        const SettingsFieldRule* rule = findSettingsRule(name);
        parsed.push_back({&argument, rule, value});
        if (rule == &unitRule && settingsValueAllowed(unitRule, value, unit))
            unit = uint32_t(*parseSettingsInteger(value));
    }
    for (const Parsed& p : parsed) {
        if (!settingsValueAllowed(*p.rule, p.value, unit))
            return SettingsRefusal{*p.argument, std::string(p.rule->field.name) + " takes " +
                                                    allowedSettingsValues(*p.rule, unit)};
    }

    _FILEDATA edited = record;
    // The unit first, converting the speeds as the GPS tab does; speeds given explicitly win.
    SpeedUnitState speeds = captureSpeedUnitState(edited);
    changeSpeedUnit(speeds, edited, unit);
    const Parsed* firstShare = nullptr;
    for (const Parsed& p : parsed) {
        storeSettingsValue(*p.rule, edited, p.value);
        if (!firstShare && p.rule->kind == SettingsRuleKind::Share)
            firstShare = &p;
    }
    if (firstShare) {
        if (std::string problem = sdSharesProblem(edited); !problem.empty())
            return SettingsRefusal{*firstShare->argument, problem};
    }
    record = edited;
    return std::nullopt;
}

} // namespace dcv
