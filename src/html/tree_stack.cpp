// The stack of open elements: pushing and popping, the scopes, generating implied end tags,
// clearing the stack back to a table context, resetting the insertion mode appropriately and
// closing the cell.
#include <algorithm>

#include "html/tree_builder.h"

namespace pagelift::html {

void TreeBuilder::Push(NodeId node) {
  open_.push_back(node);
  MarkOpen(node, true);
  if (Is(node, Tag::kTemplate)) ++templates_open_;
}

void TreeBuilder::Pop() {
  // The html element stays: every "pop until" ends there at the latest.
  if (open_.size() <= 1) return;
  const NodeId node = open_.back();
  open_.pop_back();
  MarkOpen(node, false);
  if (Is(node, Tag::kTemplate)) {
    --templates_open_;
    // Each open template has its mode: closing one, whatever closes it, drops its mode.
    if (template_modes_.size() > static_cast<std::size_t>(templates_open_)) {
      template_modes_.pop_back();
    }
  }
}

void TreeBuilder::PopUntil(Tag tag) {
  while (open_.size() > 1) {
    const bool found = Is(Current(), tag);
    Pop();
    if (found) return;
  }
}

void TreeBuilder::PopUntilOneOf(std::initializer_list<Tag> tags) {
  while (open_.size() > 1) {
    const bool found = IsOneOf(Current(), tags);
    Pop();
    if (found) return;
  }
}

void TreeBuilder::RemoveFromStack(NodeId node) {
  const auto it = std::find(open_.begin(), open_.end(), node);
  if (it == open_.end() || it == open_.begin()) return;
  if (it + 1 == open_.end()) return Pop();
  open_.erase(it);
  MarkOpen(node, false);
  if (Is(node, Tag::kTemplate)) {
    --templates_open_;
    if (template_modes_.size() > static_cast<std::size_t>(templates_open_)) {
      template_modes_.pop_back();
    }
  }
}

bool TreeBuilder::OnStack(Tag tag) const {
  return std::any_of(open_.begin(), open_.end(), [&](NodeId n) { return Is(n, tag); });
}

bool TreeBuilder::IsScopeBoundary(NodeId node, Scope scope) const {
  const std::uint8_t flags = doc_.nodes_[node].flags;
  switch (scope) {
    case Scope::kDefault:
      return flags & kDefaultScope;
    case Scope::kListItem:
      return flags & (kDefaultScope | kListItemScope);
    case Scope::kButton:
      return flags & (kDefaultScope | kButtonScope);
    case Scope::kTable:
      return flags & kTableScope;
    case Scope::kSelect:
      return !(flags & kSelectInner);
  }
  return false;
}

bool TreeBuilder::InScope(Tag tag, Scope scope) const {
  const auto known = static_cast<std::size_t>(tag);
  if (known < std::size(open_count_) && open_count_[known] == 0) return false;
  for (std::size_t k = open_.size(); k-- > 0;) {
    if (Is(open_[k], tag)) return true;
    if (IsScopeBoundary(open_[k], scope)) return false;
  }
  return false;
}

bool TreeBuilder::NodeInScope(NodeId node) const {
  for (std::size_t k = open_.size(); k-- > 0;) {
    if (open_[k] == node) return true;
    if (IsScopeBoundary(open_[k], Scope::kDefault)) return false;
  }
  return false;
}

void TreeBuilder::GenerateImpliedEndTags(Tag except) {
  while (open_.size() > 1 && !Is(Current(), except) &&
         IsOneOf(Current(), {Tag::kDd, Tag::kDt, Tag::kLi, Tag::kOptgroup, Tag::kOption, Tag::kP,
                             Tag::kRb, Tag::kRp, Tag::kRt, Tag::kRtc})) {
    Pop();
  }
}

void TreeBuilder::GenerateAllImpliedEndTagsThoroughly() {
  while (open_.size() > 1 &&
         IsOneOf(Current(),
                 {Tag::kCaption, Tag::kColgroup, Tag::kDd, Tag::kDt, Tag::kLi, Tag::kOptgroup,
                  Tag::kOption, Tag::kP, Tag::kRb, Tag::kRp, Tag::kRt, Tag::kRtc, Tag::kTbody,
                  Tag::kTd, Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr})) {
    Pop();
  }
}

void TreeBuilder::ClearStackBackTo(std::initializer_list<Tag> tags) {
  while (open_.size() > 1 && !IsOneOf(Current(), tags)) Pop();
}

void TreeBuilder::ResetInsertionMode() {
  for (std::size_t k = open_.size(); k-- > 0;) {
    const NodeId node = open_[k];
    const bool last = k == 0;
    if (Is(node, Tag::kSelect)) {
      for (std::size_t a = k; a-- > 0;) {
        if (Is(open_[a], Tag::kTemplate)) break;
        if (Is(open_[a], Tag::kTable)) {
          mode_ = Mode::kInSelectInTable;
          return;
        }
      }
      mode_ = Mode::kInSelect;
      return;
    }
    if (IsOneOf(node, {Tag::kTd, Tag::kTh}) && !last) {
      mode_ = Mode::kInCell;
      return;
    }
    if (Is(node, Tag::kTr)) {
      mode_ = Mode::kInRow;
      return;
    }
    if (IsOneOf(node, {Tag::kTbody, Tag::kThead, Tag::kTfoot})) {
      mode_ = Mode::kInTableBody;
      return;
    }
    if (Is(node, Tag::kCaption)) {
      mode_ = Mode::kInCaption;
      return;
    }
    if (Is(node, Tag::kColgroup)) {
      mode_ = Mode::kInColumnGroup;
      return;
    }
    if (Is(node, Tag::kTable)) {
      mode_ = Mode::kInTable;
      return;
    }
    if (Is(node, Tag::kTemplate)) {
      mode_ = template_modes_.empty() ? Mode::kInBody : template_modes_.back();
      return;
    }
    if (Is(node, Tag::kHead) && !last) {
      mode_ = Mode::kInHead;
      return;
    }
    if (Is(node, Tag::kBody)) {
      mode_ = Mode::kInBody;
      return;
    }
    if (Is(node, Tag::kFrameset)) {
      mode_ = Mode::kInFrameset;
      return;
    }
    if (Is(node, Tag::kHtml)) {
      mode_ = head_ == kNoNode ? Mode::kBeforeHead : Mode::kAfterHead;
      return;
    }
    if (last) break;
  }
  mode_ = Mode::kInBody;
}

void TreeBuilder::CloseCell() {
  GenerateImpliedEndTags();
  PopUntilOneOf({Tag::kTd, Tag::kTh});
  ClearFormattingToMarker();
  mode_ = Mode::kInRow;
}

}  // namespace pagelift::html
