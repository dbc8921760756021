#include "app/core/RestrictionGuard.h"

bool CRestrictionGuard::BeginShow() {
    std::unique_lock lock(m_semShow, kWait);
    if (!lock.owns_lock())
        return false;
    const bool wasShowing = m_bShowing;
    m_bShowing = true;
    return !wasShowing;
}

void CRestrictionGuard::EndShow() {
    std::unique_lock lock(m_semShow, kWait);
    if (lock.owns_lock())
        m_bShowing = false;
}

bool CRestrictionGuard::IsShowing() {
    std::unique_lock lock(m_semShow, kWait);
    return lock.owns_lock() && m_bShowing;
}
