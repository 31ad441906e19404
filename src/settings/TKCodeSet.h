#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// An id/name pair.
class TKCode {
public:
    TKCode() = default;
    TKCode(std::string codeId, std::string codeName)
        : m_codeId(std::move(codeId)), m_codeName(std::move(codeName)) {}
    static std::shared_ptr<TKCode> codeWithCodeId(std::string codeId, std::string codeName) {
        return std::make_shared<TKCode>(std::move(codeId), std::move(codeName));
    }

    const std::string& codeId() const { return m_codeId; }
    const std::string& codeName() const { return m_codeName; }
    void setCodeId(std::string v) { m_codeId = std::move(v); }
    void setCodeName(std::string v) { m_codeName = std::move(v); }

private:
    std::string m_codeId, m_codeName;
};
using TKCodePtr = std::shared_ptr<TKCode>;

// Codes in insertion order with lookup by id; an id is held once. Safe to use from several
// threads: every access takes the set's lock.
class TKCodeSet {
public:
    // Adds the code unless its id is present already; returns the argument either way.
    TKCodePtr addCode(TKCodePtr code);
    // The code with that id; none for a missing id or argument.
    TKCodePtr findCodeWithCodeId(std::optional<std::string_view> codeId) const;

    // Copies, taken under the lock.
    std::vector<TKCodePtr> codeList() const;
    std::map<std::string, TKCodePtr, std::less<>> codeDic() const;

private:
    mutable std::mutex m_mutex;
    std::vector<TKCodePtr> m_codeList;
    std::map<std::string, TKCodePtr, std::less<>> m_codeDic;
};

} // namespace dcv
