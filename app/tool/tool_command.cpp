#include "app/tool/tool_command.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace ombrix::tool {

namespace {
std::vector<ToolCommand>& registry() {
  static std::vector<ToolCommand> commands;
  return commands;
}
}  // namespace

bool ToolArguments::parse(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                          const std::set<std::string>& flagOptions) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.rfind("--", 0) != 0) {
      positional_.push_back(word);
    } else if (flagOptions.count(word)) {
      flags_.insert(word);
    } else if (valueOptions.count(word)) {
      if (i + 1 >= words.size()) {
        error_ = word + " needs a value";
        return false;
      }
      values_[word] = words[++i];
    } else {
      error_ = "unknown option " + word;
      return false;
    }
  }
  return true;
}

std::optional<std::string> ToolArguments::value(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

const std::vector<ToolCommand>& toolCommands() {
  auto& commands = registry();
  std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return commands;
}

ToolCommandRegistration::ToolCommandRegistration(ToolCommand command) { registry().push_back(std::move(command)); }

int usageError(const std::string& command, const std::string& detail) {
  for (const ToolCommand& c : toolCommands()) {
    if (c.name == command) std::cerr << "usage: ombrix-tool " << c.usage << "\n";
  }
  if (!detail.empty()) std::cerr << "ombrix-tool " << command << ": " << detail << "\n";
  return kExitUsage;
}

int refused(const core::Status& status) { return refused(status.message); }

int refused(std::string_view message) {
  std::cerr << message << "\n";
  return kExitRefused;
}

TerminalProgress::TerminalProgress(std::string label) : label_(std::move(label)), enabled_(::isatty(2) == 1) {}

TerminalProgress::~TerminalProgress() {
  if (enabled_ && lastDrawn_ >= 0) std::fputs("\n", stderr);
}

void TerminalProgress::update(double fraction) {
  if (!enabled_) return;
  constexpr int kWidth = 40;
  const int filled = std::clamp(static_cast<int>(fraction * kWidth + 0.5), 0, kWidth);
  if (filled == lastDrawn_) return;
  lastDrawn_ = filled;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(),
               static_cast<int>(fraction * 100 + 0.5));
  std::fflush(stderr);
}

}  // namespace ombrix::tool
