// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechd/message_gathering.h"

#include <algorithm>

namespace voxrig {

void MessageGathering::Add(const std::string& words, long long nowMs) {
  if (words.empty()) return;
  // Words after a quiet, or of another unit, are a message of their own.
  if (gathering_ && (gathering_->unit != unit_ || nowMs - gathering_->lastMs >= quietMs_)) {
    CloseMessage();
  }
  if (!gathering_) {
    gathering_ = Gathered{words, unit_, unitKept_, nowMs};
    return;
  }
  gathering_->text += ' ' + words;
  gathering_->lastMs = nowMs;
}

void MessageGathering::CloseMessage() {
  if (!gathering_) return;
  ready_.push_back({{SpeechAction::Kind::kSay, std::move(gathering_->text), gathering_->kept},
                    gathering_->unit});
  gathering_.reset();
}

void MessageGathering::EndMessage() {
  CloseMessage();
}

void MessageGathering::StartUnit() {
  CloseMessage();
  ++unit_;
  unitKept_ = false;
}

void MessageGathering::KeepUnit() {
  unitKept_ = true;
  // What the unit said before its outcome belongs to it: kept too, unless it
  // has gone out already.
  if (gathering_ && gathering_->unit == unit_) gathering_->kept = true;
  for (Pending& pending : ready_) {
    if (pending.unit == unit_ && pending.action.kind == SpeechAction::Kind::kSay) {
      pending.action.kept = true;
    }
  }
}

void MessageGathering::DropReadouts(bool keepThisUnit) {
  const auto dropped = [&](unsigned long unit, bool kept) {
    if (keepThisUnit) return !(unitKept_ && unit == unit_);
    return !kept;
  };
  if (gathering_ && dropped(gathering_->unit, gathering_->kept)) gathering_.reset();
  std::erase_if(ready_, [&](const Pending& pending) {
    return pending.action.kind == SpeechAction::Kind::kSay &&
           dropped(pending.unit, pending.action.kept);
  });
  if (readoutsOut_) {
    ready_.push_back({{SpeechAction::Kind::kCancelReadouts, {}, false}, unit_});
    readoutsOut_ = false;
  }
}

void MessageGathering::CutReadouts() {
  DropReadouts(false);
  StartUnit();
}

void MessageGathering::EndWithThisUnit() {
  DropReadouts(true);
  CloseMessage();
}

std::vector<SpeechAction> MessageGathering::TakeDue(long long nowMs) {
  if (gathering_ && nowMs - gathering_->lastMs >= quietMs_) CloseMessage();
  std::vector<SpeechAction> due;
  due.reserve(ready_.size());
  for (Pending& pending : ready_) {
    const SpeechAction& action = pending.action;
    if (action.kind == SpeechAction::Kind::kSay && !action.kept) readoutsOut_ = true;
    due.push_back(std::move(pending.action));
  }
  ready_.clear();
  return due;
}

std::optional<long long> MessageGathering::DueAt() const {
  if (!gathering_) return std::nullopt;
  return gathering_->lastMs + quietMs_;
}

}  // namespace voxrig
