#include "host/check/DeploymentCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "common/text/AsciiCase.h"
#include "host/check/RegistrationVocabulary.h"
#include "host/check/XmlChecks.h"
#include "host/cim/RepositoryContents.h"
#include "provider/registration/ClassCache.h"
#include "provider/registration/ClassLoader.h"
#include "provider/registration/ModuleRoots.h"

namespace wmihost {

namespace {

namespace fs = std::filesystem;
using qrv::cim::Attribute;
using qrv::cim::ClassMap;
using qrv::cim::FileAccessor;
using qrv::cim::OperatorBase;

std::string readText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The first line of the text holding `<element` and, unless it is empty,
// `"value"`: where the element naming that value most likely starts; 0 when
// none does.
std::size_t lineOf(const std::string& text, const std::string& element, const std::string& value) {
  std::istringstream lines(text);
  std::string line;
  for (std::size_t number = 1; std::getline(lines, line); ++number) {
    if (line.find("<" + element) != std::string::npos &&
        (value.empty() || line.find("\"" + value + "\"") != std::string::npos)) {
      return number;
    }
  }
  return 0;
}

// The checks of one registration file.
class RegistrationCheck {
 public:
  RegistrationCheck(const fs::path& file, const std::string& moduleRoot, const ClassRepository& repository,
                    DeploymentReport& report)
      : file_(file.string()), moduleRoot_(moduleRoot), repository_(repository), report_(report),
        text_(readText(file_)) {}

  void run(const std::string& nameSpace, const std::string& className) {
    std::vector<std::unique_ptr<ClassMap>> classMaps;
    const auto parse = qrv::cim::parseRegistration(
        file_, [&](std::unique_ptr<ClassMap> classMap) { classMaps.push_back(std::move(classMap)); });
    if (!parse.problem.empty() || parse.status != 0) {
      fault(0, "the registration cannot be parsed: " + (parse.problem.empty() ? "the parser failed" : parse.problem));
      if (classMaps.empty()) return;
    } else {
      checkVocabulary();
    }
    const std::string key = qrv::cim::classKey(nameSpace, className);
    const auto named = std::find_if(classMaps.begin(), classMaps.end(), [&](const auto& classMap) {
      return qrv::cim::classKey(classMap->nameSpace(), classMap->className()) == key;
    });
    if (named == classMaps.end()) {
      fault(0, "registers no class " + className + " of " + nameSpace + ", which the provider looks for here; " +
                   registeredClasses(classMaps));
      return;
    }
    checkClass(**named);
  }

 private:
  void fault(std::size_t line, const std::string& what) {
    faulty_ = true;
    add(line, Severity::Error, what);
  }
  void warn(std::size_t line, const std::string& what) { add(line, Severity::Warning, what); }
  void remark(std::size_t line, const std::string& what) { add(line, Severity::Note, what); }

  void add(std::size_t line, Severity severity, const std::string& what) {
    report_.findings.push_back({line ? file_ + ":" + std::to_string(line) : file_, severity, what});
  }

  void checkVocabulary() {
    for (Finding& finding : unknownRegistrationNames(file_)) {
      faulty_ = true;
      report_.findings.push_back(std::move(finding));
    }
  }

  static std::string registeredClasses(const std::vector<std::unique_ptr<ClassMap>>& classMaps) {
    if (classMaps.empty()) return "it registers none";
    std::string list;
    for (const auto& classMap : classMaps) {
      list += (list.empty() ? "" : ", ") + classMap->className() + " of " + classMap->nameSpace();
    }
    return "it registers " + list;
  }

  void checkClass(const ClassMap& classMap) {
    const std::size_t classLine = lineOf(text_, "Class", classMap.className());
    const auto definition = repository_.find(classMap.nameSpace(), classMap.className());
    if (!definition) {
      fault(classLine, classMap.className() + " is no class of " + classMap.nameSpace() + " in the repository (" +
                           repositoryContents(repository_) + ")");
    } else {
      if (definition->provider.empty()) {
        fault(classLine, classMap.className() + " has no provider qualifier in the repository (" +
                             definition->place + "): WMI never asks a provider for its instances");
      }
      checkAttributes(classMap, *definition);
    }
    checkOperations(classMap, classLine);
    if (definition && !definition->provider.empty() && classMap.enumerateOperator()) {
      report_.enumerable.push_back({classMap.nameSpace(), classMap.className(), file_});
    }
    if (!faulty_) remark(0, "registers " + classMap.className() + " of " + classMap.nameSpace());
  }

  void checkAttributes(const ClassMap& classMap, const ClassDefinition& definition) {
    std::set<std::string> requiredKeys;
    for (const Attribute& attribute : classMap.attributes()) {
      const std::size_t line = lineOf(text_, "Attribute", attribute.name());
      const auto index = definition.indexOf(attribute.name());
      if (!index) {
        fault(line, "the attribute " + attribute.name() + " is no property of " + definition.name);
      } else if (attribute.required() && !definition.properties[*index].key) {
        fault(line, "the required attribute " + attribute.name() + " is no key of " + definition.name);
      } else if (attribute.required()) {
        requiredKeys.insert(qrv::text::toLowerAscii(attribute.name()));
      }
    }
    if (!classMap.getOperator()) return;
    for (const PropertyDefinition& property : definition.properties) {
      if (property.key && !requiredKeys.count(qrv::text::toLowerAscii(property.name))) {
        fault(lineOf(text_, "Class", classMap.className()),
              "the key " + property.name + " of " + definition.name +
                  " is no required attribute: a get cannot hand it to the stylesheet");
      }
    }
  }

  void checkOperations(const ClassMap& classMap, std::size_t classLine) {
    if (!classMap.enumerateOperator() && !classMap.getOperator()) {
      fault(classLine, "registers neither <Enumerate> nor <Get>");
    } else if (!classMap.enumerateOperator()) {
      remark(classLine, "no <Enumerate>: an enumeration of " + classMap.className() +
                            " answers WBEM_E_PROVIDER_NOT_CAPABLE, and check does not enumerate it");
    }
    if (!classMap.getOperator()) {
      if (classMap.attributes().empty()) {
        remark(classLine, "no <Get>: a get of " + classMap.className() + " answers WBEM_E_PROVIDER_NOT_CAPABLE");
      } else {
        warn(classLine, "attributes are registered for gets, but there is no <Get>: every get answers "
                        "WBEM_E_PROVIDER_NOT_CAPABLE");
      }
    }
    if (const OperatorBase* op = classMap.enumerateOperator()) checkOperation(*op, "Enumerate");
    if (const OperatorBase* op = classMap.getOperator()) checkOperation(*op, "Get");
  }

  void checkOperation(const OperatorBase& op, const std::string& name) {
    const std::size_t operationLine = lineOf(text_, name, "");
    for (const auto& accessor : op.accessors()) {
      const auto* file = dynamic_cast<const FileAccessor*>(accessor.get());
      if (!file) continue;
      checkFile(lineOf(text_, "FileProvider", file->name()), "data file", file->relativePath(), xmlFileProblem);
    }
    if (!op.conversion()) {
      fault(operationLine, "<" + name + "> has no <Conversion>: its requests fail");
      return;
    }
    checkFile(lineOf(text_, "Conversion", op.conversion()->name()), "stylesheet", op.conversion()->relativePath(),
              [this](const std::string& path) { return stylesheetProblem(path, xslRoot()); });
  }

  // Each file is checked once, however many operations name it.
  void checkFile(std::size_t line, const std::string& kind, const std::string& relativePath,
                 const std::function<std::string(const std::string&)>& problemOf) {
    const std::string path = qrv::cim::nativePath(xslRoot() + "/" + relativePath);
    if (!checked_.insert(path).second) return;
    const std::string problem = problemOf(path);
    if (!problem.empty()) fault(line, "the " + kind + " " + path + ": " + problem);
  }

  std::string xslRoot() const { return moduleRoot_ + "/xslroot"; }

  std::string file_;
  const std::string& moduleRoot_;
  const ClassRepository& repository_;
  DeploymentReport& report_;
  std::string text_;
  std::set<std::string> checked_;
  bool faulty_ = false;
};

// The namespace of a registration's folder below xmlreg, written with
// backslashes as requests name it.
std::string namespaceOf(const fs::path& folder) {
  std::string nameSpace = folder.generic_string();
  std::replace(nameSpace.begin(), nameSpace.end(), '/', '\\');
  return nameSpace;
}

void checkRegistration(const fs::path& registrationRoot, const fs::path& file, const std::string& moduleRoot,
                       const ClassRepository& repository, DeploymentReport& report) {
  const fs::path relative = file.lexically_relative(registrationRoot);
  const std::string folder = relative.parent_path().generic_string();
  const std::string stem = file.stem().string();
  ++report.registrations;
  if (folder.empty()) {
    report.findings.push_back({file.string(), Severity::Error,
                               "a registration belongs in the folder of its namespace, such as xmlreg/root/cimv2"});
    return;
  }
  if (qrv::text::toLowerAscii(relative.generic_string()) != relative.generic_string()) {
    report.findings.push_back({file.string(), Severity::Error,
                               "the provider looks for lower-case names: it would read " +
                                   qrv::text::toLowerAscii(relative.generic_string())});
  }
  RegistrationCheck(file, moduleRoot, repository, report).run(namespaceOf(folder), stem);
}

}  // namespace

DeploymentReport checkDeployment(const std::string& moduleRoot, const ClassRepository& repository) {
  DeploymentReport report;
  const fs::path registrationRoot = fs::path(moduleRoot) / "xmlreg";
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator entry(registrationRoot, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->is_regular_file() && entry->path().extension() == ".xml") files.push_back(entry->path());
  }
  if (error || files.empty()) {
    report.findings.push_back({registrationRoot.string(), Severity::Error,
                               error ? "cannot be read: " + error.message() : "holds no registration file"});
    return report;
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) checkRegistration(registrationRoot, file, moduleRoot, repository, report);
  return report;
}

}  // namespace wmihost
