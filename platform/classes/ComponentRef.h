// ComponentRef.h - a reference to a component one does not own, cleared when it is destroyed.
//
// The holder (a component) keeps the reference as a member and forwards its Notification:
//
//     TComponentRef<TrpDataSet> FDataSet{this};
//     void SetDataSet(TrpDataSet* v) { FDataSet.Set(v); }
//     void Notification(TComponent* c, TOperation op) override
//     {
//         Base::Notification(c, op);
//         FDataSet.Forget(c, op);
//     }
//
// Set() drops the free-notification link to the old target and takes one on the new, so the
// holder is told when the target is destroyed and Forget() then clears the reference. The
// reference's destructor drops its link, so a destroyed holder is never told of anything.
// Links are counted per pair of components: two references of one holder to the same target
// each hold their own use of the link.
//
// Not here: ownership (the target's owner frees it) and what the holder does when the
// target goes; Set() and Forget() report a change so the holder can act on it.
#pragma once

#include "platform/classes/Classes.h"

template <class T>
class TComponentRef {
public:
    explicit TComponentRef(TComponent* holder) : FHolder(holder) {}
    TComponentRef(const TComponentRef&) = delete;
    TComponentRef& operator=(const TComponentRef&) = delete;
    ~TComponentRef() { Set(nullptr); }

    T* Get() const { return FTarget; }
    operator T*() const { return FTarget; }
    T* operator->() const { return FTarget; }
    explicit operator bool() const { return FTarget != nullptr; }

    // Points at value (nullptr: at nothing); false when it already did.
    bool Set(T* value)
    {
        if (FTarget == value)
            return false;
        if (FTarget)
            AsComponent(FTarget)->RemoveFreeNotification(FHolder);
        FTarget = value;
        if (FTarget)
            AsComponent(FTarget)->FreeNotification(FHolder);
        return true;
    }

    // Call from the holder's Notification: clears the reference when its target is being
    // destroyed; true when it did.
    bool Forget(TComponent* component, TOperation operation)
    {
        if (operation != opRemove || !FTarget || AsComponent(FTarget) != component)
            return false;
        FTarget = nullptr;  // the link went with the target
        return true;
    }

private:
    static TComponent* AsComponent(T* target) { return static_cast<TComponent*>(target); }

    TComponent* FHolder;
    T* FTarget = nullptr;
};
