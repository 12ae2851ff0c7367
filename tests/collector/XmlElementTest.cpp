#include "collector/XmlElement.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

TEST(XmlElement, LeavesOutUnknownAndEmptyValues) {
  XmlElement element("Disk");
  element.set("name", std::string("sda"))
      .set("model", std::string())
      .set("vendor", std::optional<std::string>())
      .set("size", std::optional<std::uint64_t>())
      .set("sectors", std::optional<std::uint64_t>(0))
      .setFlag("removable", std::optional<bool>())
      .setFlag("rotational", false)
      .setFlag("readOnly", true);
  std::string out;
  element.write(out);
  EXPECT_EQ(out, "<Disk name=\"sda\" sectors=\"0\" rotational=\"0\" readOnly=\"1\"/>\n");
}

TEST(XmlElement, WritesChildrenIndentedAndEscapesValues) {
  XmlElement root("Inventory");
  root.set("collected", std::string("1"));
  XmlElement packages("Packages");
  packages.add(XmlElement("Package").set("name", std::string("A & <B>")));
  packages.add(XmlElement("Package").set("name", std::string("line\nbreak")));
  root.add(std::move(packages)).add(XmlElement("System"));
  EXPECT_EQ(xmlDocument(root),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Inventory collected=\"1\">\n"
            "  <Packages>\n"
            "    <Package name=\"A &amp; &lt;B&gt;\"/>\n"
            "    <Package name=\"line&#10;break\"/>\n"
            "  </Packages>\n"
            "  <System/>\n"
            "</Inventory>\n");
}

TEST(XmlElement, AttributeGivesTheValueAsSet) {
  XmlElement element("X");
  element.set("a", std::string("1 & 2"));
  EXPECT_EQ(element.attribute("a"), "1 & 2");
  EXPECT_EQ(element.attribute("b"), std::nullopt);
}

}  // namespace
}  // namespace collector
