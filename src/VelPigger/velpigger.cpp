#include "VelPigger/velpigger.h"

#include "VelPigger/name_rules.h"
#include "platform/text_case.h"

#include <algorithm>

namespace parvex {

EVelPiggerError::EVelPiggerError(const std::string& Message, std::int32_t ErrorPosition)
    : std::runtime_error(Message), Position(ErrorPosition) {}

TVelPigger::TVelPigger(TVelPigger* NewParent) {
    if (NewParent != nullptr) {
        SetParent(NewParent);
    }
}

TVelPigger::~TVelPigger() {
    TVelPigger::SetParent(nullptr);
    TVelPigger::Clear();
}

TVelPigger* TVelPigger::Create(TVelPigger* NewParent) const {
    return new TVelPigger(NewParent);
}

std::string TVelPigger::ClassName() const {
    return "TVelPigger";
}

void TVelPigger::Assign(const TPersistent& Source) {
    const auto* source = dynamic_cast<const TVelPigger*>(&Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    // Clear() would destroy a source that is this node or lies below it; copy it out first.
    for (const TVelPigger* node = source; node != nullptr; node = node->FParent) {
        if (node == this) {
            TVelPigger snapshot;
            snapshot.Assign(*source);
            Assign(snapshot);
            return;
        }
    }
    Clear();
    SetName(source->FName);
    FText = source->FText;
    FAttrNames = source->FAttrNames;
    FAttrValues = source->FAttrValues;
    for (const TVelPigger* child : source->FChildren) {
        child->Create(this)->Assign(*child);
    }
}

void TVelPigger::Clear() {
    // Detach all children at once so that destroying a long list stays linear.
    std::vector<TVelPigger*> doomed;
    doomed.swap(FChildren);
    for (TVelPigger* child : doomed) {
        child->FParent = nullptr;
        delete child;
    }
    SetName({});
    FText.clear();
    FAttrNames.clear();
    FAttrValues.clear();
}

void TVelPigger::SetParent(TVelPigger* NewParent) {
    if (NewParent == FParent) {
        return;
    }
    if (FParent != nullptr) {
        FParent->DetachChild(this);
    }
    FParent = NewParent;
    if (NewParent != nullptr) {
        NewParent->FChildren.push_back(this);
    }
}

std::size_t TVelPigger::AncestorCount() const {
    std::size_t ancestors = 0;
    for (const TVelPigger* node = FParent; node != nullptr; node = node->FParent) {
        ++ancestors;
    }
    return ancestors;
}

std::string TVelPigger::Indent() const {
    return "\r\n" + std::string(AncestorCount(), '\t');
}

void TVelPigger::DetachChild(const TVelPigger* Child) {
    const auto found = std::find(FChildren.begin(), FChildren.end(), Child);
    if (found != FChildren.end()) {
        FChildren.erase(found);
    }
}

void TVelPigger::SetName(std::string_view NewName) {
    FName = UpperAscii(TrimBlanks(NewName));
}

void TVelPigger::SetAttr(std::string_view AttrName, std::string_view Value) {
    if (Value.empty()) {
        DeleteAttr(AttrName);
        return;
    }
    const std::string key = UpperAscii(AttrName);
    const auto found = std::find(FAttrNames.begin(), FAttrNames.end(), key);
    if (found != FAttrNames.end()) {
        FAttrValues[found - FAttrNames.begin()] = Value;
    } else {
        FAttrNames.push_back(key);
        FAttrValues.emplace_back(Value);
    }
}

std::string TVelPigger::GetAttr(std::string_view AttrName) const {
    const std::string key = UpperAscii(AttrName);
    const auto found = std::find(FAttrNames.begin(), FAttrNames.end(), key);
    return found != FAttrNames.end() ? FAttrValues[found - FAttrNames.begin()] : std::string();
}

void TVelPigger::DeleteAttr(std::string_view AttrName) {
    const std::string key = UpperAscii(AttrName);
    const auto found = std::find(FAttrNames.begin(), FAttrNames.end(), key);
    if (found != FAttrNames.end()) {
        const auto index = found - FAttrNames.begin();
        FAttrNames.erase(found);
        FAttrValues.erase(FAttrValues.begin() + index);
    }
}

void TVelPigger::SetText(std::string NewText) {
    FText = std::move(NewText);
}

int TVelPigger::ChildCount() const {
    return static_cast<int>(FChildren.size());
}

TVelPigger* TVelPigger::GetChild(int Index) const {
    if (Index < 0 || Index >= ChildCount()) {
        return nullptr;
    }
    return FChildren[static_cast<std::size_t>(Index)];
}

TVelPigger* TVelPigger::FindChild(std::string_view ChildName) const {
    const std::string key = UpperAscii(ChildName);
    const auto found =
        std::find_if(FChildren.begin(), FChildren.end(),
                     [&key](const TVelPigger* child) { return child->FName == key; });
    return found != FChildren.end() ? *found : nullptr;
}

TVelPigger* TVelPigger::FindNext(const TVelPigger* Child) const {
    if (Child == nullptr) {
        return nullptr;
    }
    auto from = std::find(FChildren.begin(), FChildren.end(), Child);
    from = from == FChildren.end() ? FChildren.begin() : from + 1;
    const auto found = std::find_if(from, FChildren.end(), [Child](const TVelPigger* child) {
        return child->FName == Child->FName;
    });
    return found != FChildren.end() ? *found : nullptr;
}

TVelPigger* TVelPigger::CreateChild(const std::string& /*TagName*/) {
    return new TVelPigger(this);
}

void TVelPigger::ChildLoaded(TVelPigger* /*Child*/) {}

bool TVelPigger::AcceptText(const std::string& /*Piece*/) {
    return true;
}

void TVelPigger::Error(const std::string& Message, std::int32_t Position) {
    throw EVelPiggerError(Message, Position);
}

} // namespace parvex
