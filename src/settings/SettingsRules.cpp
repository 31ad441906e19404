#include "settings/SettingsRules.h"

#include <charconv>

namespace dcv {
namespace {

std::span<const LabeledValue<uint32_t>> choicesFor(const SettingsFieldRule& rule, uint32_t speedUnit) {
    return speedUnit == kSpeedUnitMph && !rule.mphChoices.empty() ? rule.mphChoices : rule.choices;
}

int32_t itemCount(const SettingsFieldRule& rule) {
    switch (rule.kind) {
    case SettingsRuleKind::Items:
        return int32_t(rule.labels.size());
    case SettingsRuleKind::Choice:
        return int32_t(rule.choices.size());
    case SettingsRuleKind::Flag:
        return 2;
    default:
        return 0;
    }
}

std::span<char> textField(_FILEDATA& record, const SettingsFieldDescriptor& field) {
    return {reinterpret_cast<char*>(&record) + field.offset, field.size};
}

std::string joinValues(const std::vector<int64_t>& values) {
    std::string s;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            s += i + 1 == values.size() ? " or " : ", ";
        s += std::to_string(values[i]);
    }
    return s;
}

// The values of a field with items, in item order.
std::vector<int64_t> itemValues(const SettingsFieldRule& rule, uint32_t speedUnit) {
    std::vector<int64_t> values;
    if (rule.kind == SettingsRuleKind::Choice) {
        for (const auto& c : choicesFor(rule, speedUnit))
            values.push_back(c.value);
    } else {
        for (int32_t i = 0; i < itemCount(rule); ++i)
            values.push_back(int64_t(rule.first) + i);
        if (rule.noneStoresMinusOne)
            values.insert(values.begin(), -1);
    }
    return values;
}

} // namespace

const SettingsFieldRule* findSettingsRule(std::string_view name) {
    for (const SettingsFieldRule& r : kSettingsFieldRules)
        if (r.field.name == name)
            return &r;
    return nullptr;
}

std::vector<ItemLabel> settingsItemLabels(const SettingsFieldRule& rule, uint32_t speedUnit) {
    if (rule.kind == SettingsRuleKind::Choice) {
        std::vector<ItemLabel> labels;
        for (const auto& c : choicesFor(rule, speedUnit))
            labels.push_back(c.label);
        return labels;
    }
    return {rule.labels.begin(), rule.labels.end()};
}

int32_t settingsItemForRecord(const SettingsFieldRule& rule, const _FILEDATA& record) {
    const int64_t value = settingsFieldInteger(record, rule.field);
    switch (rule.kind) {
    case SettingsRuleKind::Flag:
        return value != 0 ? 1 : 0;
    case SettingsRuleKind::Choice: {
        const auto table = choicesFor(rule, record.speedDisplayUnit);
        for (size_t i = 0; i < table.size(); ++i)
            if (int64_t(table[i].value) == value)
                return int32_t(i);
        return rule.fallbackItem;
    }
    case SettingsRuleKind::Items: {
        const int64_t item = value - rule.first;
        return item >= 0 && item < itemCount(rule) ? int32_t(item) : rule.fallbackItem;
    }
    default:
        return -1;
    }
}

void storeSettingsItem(const SettingsFieldRule& rule, _FILEDATA& record, int32_t item) {
    if (item < 0 || item >= itemCount(rule)) {
        if (rule.noneStoresMinusOne)
            setSettingsFieldInteger(record, rule.field, -1);
        return;
    }
    switch (rule.kind) {
    case SettingsRuleKind::Flag:
        setSettingsFieldInteger(record, rule.field, item);
        break;
    case SettingsRuleKind::Choice:
        setSettingsFieldInteger(record, rule.field,
                                choicesFor(rule, record.speedDisplayUnit)[size_t(item)].value);
        break;
    case SettingsRuleKind::Items:
        setSettingsFieldInteger(record, rule.field, int64_t(rule.first) + item);
        break;
    default:
        break;
    }
}

std::string settingsFieldText(const SettingsFieldRule& rule, const _FILEDATA& record) {
    if (rule.kind == SettingsRuleKind::Threshold)
        return gsensorThresholdText(int32_t(settingsFieldInteger(record, rule.field)));
    if (rule.field.type != SettingsFieldType::Text)
        return std::to_string(settingsFieldInteger(record, rule.field));
    const auto bytes = settingsFieldBytes(record, rule.field);
    return settingsText(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

ValidationResult validateSettingsText(const SettingsFieldRule& rule, std::string_view text) {
    std::optional<std::string> key;
    switch (rule.kind) {
    case SettingsRuleKind::Threshold:
        // The validator lets an empty text pass; stored, it would set the threshold to 0 g.
        if (text.empty())
            return ValidationMessage{"msg.input_value_invalid_format", {}};
        return DCVValidator::validateGsensorThreshold(text);
    case SettingsRuleKind::WifiSsid:
        key = checkWifiSsid(text);
        break;
    case SettingsRuleKind::WifiPassword:
        key = checkWifiPassword(text);
        break;
    default:
        break;
    }
    if (key)
        return ValidationMessage{*key, {}};
    return std::nullopt;
}

void storeSettingsText(const SettingsFieldRule& rule, _FILEDATA& record, std::string_view text) {
    switch (rule.kind) {
    case SettingsRuleKind::Threshold: {
        const auto n = DCVValidator::scanDecimal(text);
        setSettingsFieldInteger(record, rule.field, gsensorThresholdFromNumber(n ? n->value : 0.0));
        break;
    }
    case SettingsRuleKind::CarNumber:
        setSettingsText(textField(record, rule.field), filterCarNumber(text));
        break;
    case SettingsRuleKind::WifiSsid:
    case SettingsRuleKind::WifiPassword:
        setSettingsText(textField(record, rule.field), text);
        break;
    default:
        break;
    }
}

std::optional<int64_t> parseSettingsInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

void storeSettingsValue(const SettingsFieldRule& rule, _FILEDATA& record, std::string_view value) {
    if (rule.field.type == SettingsFieldType::Text)
        storeSettingsText(rule, record, value);
    else if (const auto v = parseSettingsInteger(value))
        setSettingsFieldInteger(record, rule.field, *v);
}

SettingsRange settingsRange(const SettingsFieldRule& rule) {
    if (rule.kind == SettingsRuleKind::Threshold)
        return {kGsensorThresholdStoredMin, kGsensorThresholdStoredMax};
    if (rule.kind == SettingsRuleKind::Share)
        return {DCVValidator::kSDCardSizeRatioMin, 100 - 2 * DCVValidator::kSDCardSizeRatioMin};
    const auto values = itemValues(rule, kSpeedUnitKmh);
    if (values.empty())
        return {0, -1};
    return {values.front(), values.back()};
}

bool settingsValueAllowed(const SettingsFieldRule& rule, std::string_view value, uint32_t speedUnit) {
    switch (rule.kind) {
    case SettingsRuleKind::CarNumber:
        return filterCarNumber(value) == value;
    case SettingsRuleKind::WifiSsid:
    case SettingsRuleKind::WifiPassword:
        return value.size() <= rule.field.size && !validateSettingsText(rule, value);
    default:
        break;
    }
    const auto v = parseSettingsInteger(value);
    if (!v)
        return false;
    if (rule.kind == SettingsRuleKind::Threshold || rule.kind == SettingsRuleKind::Share) {
        const SettingsRange range = settingsRange(rule);
        return *v >= range.min && *v <= range.max;
    }
    for (const int64_t allowed : itemValues(rule, speedUnit))
        if (allowed == *v)
            return true;
    return false;
}

std::string allowedSettingsValues(const SettingsFieldRule& rule, uint32_t speedUnit) {
    switch (rule.kind) {
    case SettingsRuleKind::Threshold: {
        const SettingsRange r = settingsRange(rule);
        return std::to_string(r.min) + " to " + std::to_string(r.max);
    }
    case SettingsRuleKind::Share: {
        const SettingsRange r = settingsRange(rule);
        return std::to_string(r.min) + " to " + std::to_string(r.max) +
               ", with sdAlwaysRatio, sdMotionRatio and sdEventRatio adding up to 100";
    }
    case SettingsRuleKind::CarNumber:
        return "up to " + std::to_string(kCarNumberMaxLength) + " ASCII letters and digits";
    case SettingsRuleKind::WifiSsid:
        return std::to_string(kWifiSsidMinLength) + " to " + std::to_string(rule.field.size) +
               " characters from ! to ~ (no spaces)";
    case SettingsRuleKind::WifiPassword:
        return std::to_string(kWifiPasswordMinLength) + " to " + std::to_string(rule.field.size) +
               " characters from ! to ~ (no spaces)";
    case SettingsRuleKind::Choice: {
        std::string s = joinValues(itemValues(rule, speedUnit));
        if (!rule.mphChoices.empty())
            s += speedUnit == kSpeedUnitMph ? " (mi/h, speedDisplayUnit=1)" : " (km/h, speedDisplayUnit=0)";
        return s;
    }
    case SettingsRuleKind::Items:
    case SettingsRuleKind::Flag: {
        const auto values = itemValues(rule, speedUnit);
        if (values.size() <= 3)
            return joinValues(values);
        return std::to_string(values.front()) + " to " + std::to_string(values.back());
    }
    }
    return {};
}

std::string sdSharesProblem(const _FILEDATA& record) {
    const int64_t always = record.sdAlwaysRatio, motion = record.sdMotionRatio, event = record.sdEventRatio;
    for (const int64_t share : {always, motion, event})
        if (DCVValidator::validateSDCardSizeRatio(share))
            return "each of sdAlwaysRatio, sdMotionRatio and sdEventRatio must be at least " +
                   std::to_string(DCVValidator::kSDCardSizeRatioMin);
    if (always + motion + event != 100)
        return "sdAlwaysRatio, sdMotionRatio and sdEventRatio must add up to 100, not " +
               std::to_string(always) + "+" + std::to_string(motion) + "+" + std::to_string(event) + "=" +
               std::to_string(always + motion + event);
    return {};
}

} // namespace dcv
