#include "settings/TKCodeSet.h"

namespace dcv {

TKCodePtr TKCodeSet::addCode(TKCodePtr code) {
    if (!code)
        return code;
    // The check and the insertion are one step: checked outside the lock, two threads adding
    // the same id would both append it to the list.
    std::lock_guard lock(m_mutex);
    if (m_codeDic.emplace(code->codeId(), code).second)
        m_codeList.push_back(code);
    return code;
}

TKCodePtr TKCodeSet::findCodeWithCodeId(std::optional<std::string_view> codeId) const {
    if (!codeId)
        return nullptr;
    std::lock_guard lock(m_mutex);
    const auto it = m_codeDic.find(*codeId);
    return it == m_codeDic.end() ? nullptr : it->second;
}

std::vector<TKCodePtr> TKCodeSet::codeList() const {
    std::lock_guard lock(m_mutex);
    return m_codeList;
}

std::map<std::string, TKCodePtr, std::less<>> TKCodeSet::codeDic() const {
    std::lock_guard lock(m_mutex);
    return m_codeDic;
}

} // namespace dcv
