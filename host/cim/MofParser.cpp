#include "host/cim/MofParser.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <utility>

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "common/text/AsciiCase.h"
#include "host/cim/CimTypes.h"
#include "host/cim/MofLexer.h"
#include "host/cim/MofValue.h"
#include "host/cim/NamespaceName.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;
using qrv::text::toLowerAscii;

namespace {

class MofParser {
 public:
  MofParser(std::string_view text, const std::string& fileName) : lexer_(text, fileName), fileName_(fileName) {
    advance();
  }

  MofDocument document() {
    MofDocument parsed;
    while (current_.kind != TokenKind::End) {
      if (isSymbol("#")) {
        pragma();
        continue;
      }
      std::vector<MofQualifier> qualified = qualifiers();
      if (isKeyword("instance")) {
        parsed.instances.push_back(instanceDeclaration());
      } else if (isKeyword("class")) {
        parsed.classes.push_back(classDeclaration(std::move(qualified)));
      } else {
        fail("expected 'class' or 'instance' to begin a declaration");
      }
    }
    return parsed;
  }

 private:
  void advance() { current_ = lexer_.next(); }
  [[noreturn]] void fail(const std::string& message) const { lexer_.fail(current_.line, message); }

  bool isSymbol(std::string_view symbol) const { return current_.kind == TokenKind::Symbol && current_.text == symbol; }
  bool isKeyword(std::string_view word) const {
    return current_.kind == TokenKind::Identifier && equalsIgnoringAsciiCase(current_.text, word);
  }
  bool acceptSymbol(std::string_view symbol) {
    if (!isSymbol(symbol)) return false;
    advance();
    return true;
  }
  void expectSymbol(std::string_view symbol, const std::string& where) {
    if (!acceptSymbol(symbol)) fail("expected '" + std::string(symbol) + "' " + where);
  }
  void expectKeyword(std::string_view word, const std::string& where) {
    if (!isKeyword(word)) fail("expected '" + std::string(word) + "' " + where);
    advance();
  }
  std::string identifier(const std::string& what) {
    if (current_.kind != TokenKind::Identifier) fail("expected " + what);
    std::string name = current_.text;
    advance();
    return name;
  }
  // One or more adjacent string literals, joined as MOF joins them.
  std::string strings(const std::string& where) {
    if (current_.kind != TokenKind::String) fail("expected a string " + where);
    std::string text;
    while (current_.kind == TokenKind::String) {
      text += current_.text;
      advance();
    }
    return text;
  }

  void pragma() {
    advance();
    expectKeyword("pragma", "after '#'");
    if (!isKeyword("namespace")) fail("unsupported pragma '" + current_.text + "'");
    advance();
    expectSymbol("(", "after #pragma namespace");
    nameSpace_ = canonicalNamespace(strings("as the namespace"));
    expectSymbol(")", "after the namespace");
  }

  // Reads a qualifier list if one starts here: its qualifiers but for those
  // written FALSE.
  std::vector<MofQualifier> qualifiers() {
    std::vector<MofQualifier> read;
    if (!acceptSymbol("[")) return read;
    do {
      if (auto one = qualifier()) read.push_back(std::move(*one));
    } while (acceptSymbol(","));
    expectSymbol("]", "after the qualifiers");
    return read;
  }

  // name, name(value) or name{value, ...}, then any flavors after ':'.
  // None for a qualifier written FALSE. Abstract and a qualifier of the
  // Restricted flavor do not pass to subclasses.
  std::optional<MofQualifier> qualifier() {
    std::string name = identifier("a qualifier name");
    bool restricted = equalsIgnoringAsciiCase(name, "abstract");
    bool enabled = true;
    std::string value;
    std::string mofText;
    if (acceptSymbol("(")) {
      enabled = !isKeyword("false");
      mofText = "(" + qualifierValue(name, value) + ")";
      expectSymbol(")", "after the value of qualifier " + name);
    } else if (acceptSymbol("{")) {
      std::string element;  // an array gives the qualifier no single value
      do {
        mofText += (mofText.empty() ? "{" : ", ") + qualifierValue(name, element);
      } while (acceptSymbol(","));
      mofText += "}";
      expectSymbol("}", "after the values of qualifier " + name);
    }
    if (acceptSymbol(":")) {
      do {
        const std::string flavor = identifier("a flavor after qualifier " + name);
        restricted = restricted || equalsIgnoringAsciiCase(flavor, "restricted");
      } while (current_.kind == TokenKind::Identifier);
    }
    if (!enabled) return std::nullopt;
    return MofQualifier{std::move(name), !restricted, std::move(value), std::move(mofText)};
  }

  // Reads one value of a qualifier into value and tells how MOF writes it.
  std::string qualifierValue(const std::string& name, std::string& value) {
    if (current_.kind == TokenKind::String) {
      value = strings("");
      const qrv::com::Variant text = qrv::com::Variant::text(qrv::com::toWide(value));
      return mofValueText(CIM_STRING, *text);
    }
    if (current_.kind != TokenKind::Number && current_.kind != TokenKind::Identifier) {
      fail("expected a value for qualifier " + name);
    }
    value = current_.text;
    advance();
    return value;
  }

  // The value of the provider qualifier among a class's qualifiers; empty
  // when it has none.
  static std::string providerOf(const std::vector<MofQualifier>& qualifiers) {
    for (const MofQualifier& qualifier : qualifiers) {
      if (equalsIgnoringAsciiCase(qualifier.name, "provider")) return qualifier.value;
    }
    return "";
  }

  MofClass classDeclaration(std::vector<MofQualifier> qualifiers) {
    MofClass declared;
    declared.provider = providerOf(qualifiers);
    declared.qualifiers = std::move(qualifiers);
    declared.line = current_.line;
    declared.nameSpace = nameSpace_;
    advance();  // class
    declared.name = identifier("a class name");
    if (acceptSymbol(":")) declared.superclass = identifier("a base class name after ':'");
    expectSymbol("{", "to open class " + declared.name);
    std::unordered_set<std::string> names;  // lower case
    while (!acceptSymbol("}")) {
      const int line = current_.line;
      PropertyDefinition added = property();
      if (!names.insert(toLowerAscii(added.name)).second) lexer_.fail(line, "property " + added.name + " declared twice");
      declared.properties.push_back(std::move(added));
    }
    expectSymbol(";", "after the body of class " + declared.name);
    return declared;
  }

  PropertyDefinition property() {
    PropertyDefinition declared;
    declared.qualifiers = qualifiers();
    declared.key = std::any_of(declared.qualifiers.begin(), declared.qualifiers.end(),
                               [](const MofQualifier& one) { return equalsIgnoringAsciiCase(one.name, "key"); });
    const int typeLine = current_.line;
    const std::string typeName = identifier("a property type or '}'");
    if (isKeyword("ref")) {
      advance();
      declared.type = CIM_REFERENCE;
      declared.referencedClass = typeName;
    } else if (const auto type = cimTypeOfKeyword(typeName)) {
      declared.type = *type;
    } else {
      lexer_.fail(typeLine, "unknown type '" + typeName + "'");
    }
    declared.name = identifier("a property name after " + typeName);
    if (acceptSymbol("[")) {
      expectSymbol("]", "after '[': only arrays without a size are supported");
      declared.type |= CIM_FLAG_ARRAY;
    }
    if (isSymbol("=")) fail("default values are not supported (property " + declared.name + ")");
    if (isSymbol("(")) fail("methods are not supported (" + declared.name + ")");
    expectSymbol(";", "after property " + declared.name);
    return declared;
  }

  MofInstance instanceDeclaration() {
    MofInstance declared;
    declared.file = fileName_;
    declared.line = current_.line;
    declared.nameSpace = nameSpace_;
    advance();  // instance
    expectKeyword("of", "after 'instance'");
    declared.className = identifier("a class name after 'instance of'");
    if (isKeyword("as")) {
      advance();
      if (current_.kind != TokenKind::Alias) fail("expected an alias ($name) after 'as'");
      if (!aliases_.insert(toLowerAscii(current_.text)).second) fail("alias $" + current_.text + " declared twice");
      declared.alias = current_.text;
      advance();
    }
    expectSymbol("{", "to open the instance of " + declared.className);
    std::unordered_set<std::string> names;  // lower case
    while (!acceptSymbol("}")) {
      MofPropertyValue assigned;
      assigned.line = current_.line;
      assigned.name = identifier("a property name or '}'");
      if (!names.insert(toLowerAscii(assigned.name)).second) fail("property " + assigned.name + " given twice");
      expectSymbol("=", "after property " + assigned.name);
      assigned.value = initializer(assigned.name);
      expectSymbol(";", "after the value of property " + assigned.name);
      declared.properties.push_back(std::move(assigned));
    }
    expectSymbol(";", "after the instance of " + declared.className);
    return declared;
  }

  // A value, or an array of values in braces.
  MofInitializer initializer(const std::string& property) {
    if (!acceptSymbol("{")) return value(property);
    MofInitializer array;
    array.kind = MofInitializer::Kind::Array;
    if (acceptSymbol("}")) return array;
    do {
      MofInitializer element = value(property);
      if (element.kind == MofInitializer::Kind::Null || element.kind == MofInitializer::Kind::Alias) {
        fail("the array of property " + property + " holds only text, numbers, TRUE and FALSE");
      }
      array.elements.push_back(std::move(element));
    } while (acceptSymbol(","));
    expectSymbol("}", "after the values of property " + property);
    return array;
  }

  MofInitializer value(const std::string& property) {
    MofInitializer read;
    if (current_.kind == TokenKind::String) {
      read.kind = MofInitializer::Kind::Text;
      read.text = strings("");
      return read;
    }
    if (current_.kind == TokenKind::Number || current_.kind == TokenKind::Alias) {
      read.kind = current_.kind == TokenKind::Number ? MofInitializer::Kind::Number : MofInitializer::Kind::Alias;
      read.text = current_.text;
    } else if (isKeyword("true") || isKeyword("false")) {
      read.kind = MofInitializer::Kind::Boolean;
      read.boolean = isKeyword("true");
    } else if (!isKeyword("null")) {
      fail("expected a value for property " + property);
    }
    advance();
    return read;
  }

  MofLexer lexer_;
  std::string fileName_;
  Token current_;
  std::string nameSpace_ = "root\\cimv2";
  std::unordered_set<std::string> aliases_;  // lower case
};

}  // namespace

MofDocument parseMof(std::string_view text, const std::string& fileName) {
  return MofParser(text, fileName).document();
}

}  // namespace wmihost
