#include "host/cli/RequestOutput.h"

#include "host/cli/JsonObject.h"
#include "host/cli/ObjectOutput.h"
#include "host/cli/OperationError.h"

namespace wmihost {

namespace {

// A request as one line of text, whatever it held.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

}  // namespace

bool RequestOutput::print(const Request& request, const RequestOutcome& outcome) {
  const std::string text = requestText(request);
  if (batch_) {
    printBatch(text, outcome);
  } else if (SUCCEEDED(outcome.result) || !outcome.objects.empty()) {
    out_ << formatObjects(outcome.objects, format_, outcome.systemProperties);
  }
  out_.flush();
  if (SUCCEEDED(outcome.result)) return true;
  errors_ << failureReport(OperationError(text, outcome.result, outcome.detail)) << std::flush;
  return false;
}

void RequestOutput::printBatch(const std::string& text, const RequestOutcome& outcome) {
  const bool failed = FAILED(outcome.result);
  if (format_ == OutputFormat::Json) {
    out_ << "{\"request\": " << jsonString(text) << ", \"result\": " << jsonString(hresultText(outcome.result));
    if (failed) out_ << ", \"meaning\": " << jsonString(hresultMeaning(outcome.result));
    if (failed && !outcome.detail.empty()) out_ << ", \"detail\": " << jsonString(outcome.detail);
    out_ << ", \"objects\": " << jsonLine(outcome.objects, outcome.systemProperties) << "}\n";
    return;
  }
  startBlock(text);
  if (failed) out_ << commentMarker() << "failed: " << hresultText(outcome.result) << "\n";
  out_ << formatObjects(outcome.objects, format_, outcome.systemProperties);
}

void RequestOutput::printRefusedLine(const std::string& origin, const std::string& line, const std::string& reason) {
  if (format_ == OutputFormat::Json) {
    out_ << "{\"request\": " << jsonString(line) << ", \"error\": " << jsonString(reason) << ", \"objects\": []}\n";
  } else {
    startBlock(line);
    out_ << commentMarker() << "not a request: " << reason << "\n";
  }
  out_.flush();
  errors_ << "wmihost: " << origin << ": " << reason << std::endl;
}

const char* RequestOutput::commentMarker() const { return format_ == OutputFormat::Mof ? "// " : "# "; }

void RequestOutput::startBlock(const std::string& text) {
  out_ << (first_ ? "" : "\n") << commentMarker() << oneLine(text) << "\n";
  first_ = false;
}

}  // namespace wmihost
