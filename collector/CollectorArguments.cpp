#include "collector/CollectorArguments.h"

#include <string_view>

namespace collector {

namespace {

std::string unquoted(std::string_view value) {
  if (!value.empty() && value.front() == '"') value.remove_prefix(1);
  if (!value.empty() && value.back() == '"') value.remove_suffix(1);
  return std::string(value);
}

bool takeOption(std::string_view argument, std::string_view option, std::string& value) {
  if (argument.substr(0, option.size()) != option) return false;
  value = unquoted(argument.substr(option.size()));
  return true;
}

}  // namespace

CollectorArguments parseCollectorArguments(const std::vector<std::string>& arguments) {
  CollectorArguments parsed;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-help") parsed.helpAsked = true;
    if (!takeOption(argument, "-outc=", parsed.outputPath)) takeOption(argument, "-logc=", parsed.logPath);
  }
  return parsed;
}

}  // namespace collector
