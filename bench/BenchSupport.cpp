#include "bench/BenchSupport.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "provider/registration/ModuleRoots.h"

namespace bench {

const char kNamespace[] = "root\\bench";

void writeText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string inventory(int entries, std::string (*installed)(int)) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Inventory>\n";
  for (int i = 0; i < entries; ++i) {
    const std::string id = std::to_string(i);
    text += "<Item id=\"" + id + "\" name=\"Package " + id + "\" vendor=\"Vendor " + std::to_string(i % 97) +
            "\" size=\"" + std::to_string(1000 + i * 7) + "\" installed=\"" + installed(i) + "\"/>\n";
  }
  return text + "</Inventory>\n";
}

std::string stylesheet(const std::string& className, bool quotedInstalled, bool keyedById) {
  const std::string quote = quotedInstalled ? "\"" : "";
  const std::string keys =
      keyedById ? "<xsl:variable name=\"get\" select=\"/QRVCIM/@cim-operation = 'get'\"/>\n"
                  "<xsl:variable name=\"id\" select=\"/QRVCIM/Attributes/Required[@name = 'Id']/@value\"/>\n"
                : "";
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
         "<xsl:output method=\"text\" encoding=\"UTF-8\"/>\n" +
         keys +
         "<xsl:template match=\"/\">\n"
         "<xsl:for-each select=\"QRVCIM/Inventory/Item" +
         (keyedById ? "[not($get) or @id = $id]" : "") + "\">instance of " +
         className +
         "\n"
         "{\n"
         " Id = <xsl:value-of select=\"@id\"/>;\n"
         " Name = \"<xsl:value-of select=\"@name\"/>\";\n"
         " Vendor = \"<xsl:value-of select=\"@vendor\"/>\";\n"
         " Size = <xsl:value-of select=\"@size\"/>;\n"
         " Installed = " +
         quote + "<xsl:value-of select=\"@installed\"/>" + quote +
         ";\n"
         "};\n"
         "</xsl:for-each>\n"
         "</xsl:template>\n"
         "</xsl:stylesheet>\n";
}

std::string registration(const std::string& className, const std::string& app, const std::string& dataName,
                         const std::string& stylesheetName, bool keyedById) {
  const std::string files = "<FileProvider name=\"" + dataName + "\" app=\"" + app +
                            "\" area=\"data\"/><Conversion name=\"" + stylesheetName + "\" app=\"" + app +
                            "\" area=\"xsl\"/>";
  const std::string gets = keyedById ? "<Get>" + files + "</Get><Attribute name=\"Id\" required=\"true\"/>" : "";
  return "<Registration><Class name=\"" + className + "\" namespace=\"" + kNamespace + "\"><Enumerate>" + files +
         "</Enumerate>" + gets + "</Class></Registration>";
}

std::string appFilePath(const std::string& app, const std::string& area, const std::string& name) {
  return qrv::cim::xslRoot() + "/" + app + "/" + area + "/" + name;
}

std::string registrationPath(const std::string& fileName) {
  return qrv::cim::xmlRegRoot() + "/root/bench/" + fileName;
}

}  // namespace bench
