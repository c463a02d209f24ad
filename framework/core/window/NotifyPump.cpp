#include "NotifyPump.h"

#include "UIControl.h"

namespace HiveUI {

const TMsgMap* CNotifyPump::GetMessageMap() const {
    static const TMsgMapEntry entries[] = {MsgMapEnd()};
    static const TMsgMap map = {nullptr, entries};
    return &map;
}

bool CNotifyPump::Dispatch(TNotifyInfo& msg) {
    if (!msg.sVirtualWnd.IsEmpty()) {
        for (int i = 0; i < m_virtualWnds.GetSize(); ++i) {
            const wchar_t* key = m_virtualWnds.GetAt(i);
            if (key == nullptr || msg.sVirtualWnd.CompareNoCase(key) != 0) continue;
            auto* pump = static_cast<CNotifyPump*>(m_virtualWnds.Find(key));
            if (pump != nullptr && pump->DispatchThroughMaps(msg)) return true;
        }
    }
    return DispatchThroughMaps(msg);
}

bool CNotifyPump::DispatchThroughMaps(TNotifyInfo& msg) {
    for (const TMsgMap* map = GetMessageMap(); map != nullptr; map = map->pBaseMap) {
        const TMsgMapEntry* entry = FindMessageEntry(map->pEntries, msg);
        if (entry == nullptr) continue;
        if (entry->nSig == kMsgSigParams) {
            (this->*entry->handler.params)(msg.wParam, msg.lParam);
        } else if (entry->nSig == kMsgSigNotify) {
            (this->*entry->handler.notify)(msg);
        } else {
            return false;
        }
        return true;
    }
    return false;
}

const TMsgMapEntry* CNotifyPump::FindMessageEntry(const TMsgMapEntry* entries, const TNotifyInfo& msg) {
    if (entries == nullptr) return nullptr;
    // A queued notification whose sender was destroyed meanwhile has none: it counts as
    // a sender without a name.
    const CUIString sender = msg.pSender != nullptr ? msg.pSender->GetName() : CUIString();
    const TMsgMapEntry* wildcard = nullptr;
    for (const TMsgMapEntry* entry = entries; entry->nSig != kMsgSigEnd; ++entry) {
        if (entry->sMsgType != msg.sType.GetData()) continue;
        if (entry->sCtrlName == sender.GetData()) return entry;
        if (entry->sCtrlName.IsEmpty()) wildcard = entry;
    }
    return wildcard;
}

}  // namespace HiveUI
