#pragma once
// The collector's command line: [padding ...] -outc="FILE" -logc="FILE".
// The Inventory Agent puts a padding text in front of the two options when
// the collector carries the padding marker; whatever is not one of the
// options is passed over.

#include <string>
#include <vector>

namespace collector {

struct CollectorArguments {
  std::string outputPath;  // empty when -outc= is missing or names nothing
  std::string logPath;     // empty when -logc= is missing or names nothing
  bool helpAsked = false;  // --help or -help among the arguments
};

// The arguments after the program's name, as UTF-8. An option's value loses
// the double quotes around it, where the command line's splitting left them;
// of an option given twice the later one counts.
CollectorArguments parseCollectorArguments(const std::vector<std::string>& arguments);

}  // namespace collector
