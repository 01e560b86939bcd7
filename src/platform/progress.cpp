// The progress window's texts and when it appears, shared by both hosts.
#include "platform/progress.h"

#include <algorithm>
#include <cstdio>

namespace tk::host {
namespace {

// One unit for both amounts, the largest that keeps the larger of them under 1000.
struct Unit {
  const char* name;
  double bytes;
};

Unit unitFor(uint64_t largest) {
  static constexpr Unit kUnits[] = {{"bayt", 1}, {"KB", 1024.0}, {"MB", 1048576.0}};
  for (const Unit& unit : kUnits) {
    if (static_cast<double>(largest) / unit.bytes < 999.95)
      return unit;
  }
  return {"GB", 1073741824.0};
}

// Whole bytes as they are, larger units with one decimal after a comma, as Turkish writes it.
std::string amount(uint64_t bytes, const Unit& unit) {
  char text[48];
  if (unit.bytes == 1) {
    std::snprintf(text, sizeof text, "%llu %s", static_cast<unsigned long long>(bytes), unit.name);
  } else {
    std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / unit.bytes, unit.name);
    std::replace(text, text + sizeof text, '.', ',');
  }
  return text;
}

}  // namespace

std::string workText(WorkKind kind) {
  switch (kind) {
    case WorkKind::Download:
      return "Chrome sürücüsü indiriliyor...";
    case WorkKind::Extraction:
      return "Sürücü arşivi açılıyor...";
    case WorkKind::Closing:
      return "Programlar kapatılıyor...";
    case WorkKind::StepProcess:
      return "Kurulum sürüyor...";
    case WorkKind::Program:
      return "Başlatılan programın bitmesi bekleniyor...";
  }
  return {};  // every kind is named above: -Wswitch says when one is added without its text
}

std::string amountText(WorkKind kind, uint64_t done, uint64_t total) {
  if (kind == WorkKind::Closing)
    return "Kapanan: " + std::to_string(done) + " / " + std::to_string(total);
  return amountText(done, total);
}

std::string amountText(uint64_t done, uint64_t total) {
  if (total == 0)
    return amount(done, unitFor(done));
  Unit unit = unitFor(std::max(done, total));
  return amount(done, unit) + " / " + amount(total, unit);
}

LongWork::LongWork(WorkKind kind)
    : kind_(kind),
      started_(std::chrono::steady_clock::now()),
      nextServe_(started_ + kServeInterval) {}

LongWork::~LongWork() = default;

void LongWork::refresh() {
  if (!view_) {
    if (viewTried_ || kind_ == WorkKind::StepProcess ||
        std::chrono::steady_clock::now() - started_ < kProgressDelay)
      return;
    viewTried_ = true;  // without a form window there is nothing to show it over, then or later
    view_ = openProgressView(workText(kind_));
    if (!view_)
      return;
  }
  uint64_t done = done_, total = total_;
  double fraction =
      total > 0 ? std::min(1.0, static_cast<double>(done) / static_cast<double>(total)) : -1.0;
  if (kind_ == WorkKind::Program) {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started_);
    view_->update(std::to_string(seconds.count()) + " saniye", -1.0);
    return;
  }
  view_->update(amountText(kind_, done, total), fraction);
}

}  // namespace tk::host
