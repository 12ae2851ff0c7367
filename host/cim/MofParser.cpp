#include "host/cim/MofParser.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "common/text/AsciiCase.h"
#include "host/cim/CimTypes.h"
#include "host/cim/MofLexer.h"
#include "host/cim/NamespaceName.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;
using qrv::text::toLowerAscii;

namespace {

class MofParser {
 public:
  MofParser(std::string_view text, const std::string& fileName) : lexer_(text, fileName) { advance(); }

  std::vector<MofClass> document() {
    std::vector<MofClass> classes;
    while (current_.kind != TokenKind::End) {
      if (isSymbol("#")) {
        pragma();
      } else {
        classes.push_back(classDeclaration());
      }
    }
    return classes;
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
    bool value = true;
    if (acceptSymbol("(")) {
      value = !isKeyword("false");
      qualifierValue(name);
      expectSymbol(")", "after the value of qualifier " + name);
    } else if (acceptSymbol("{")) {
      do {
        qualifierValue(name);
      } while (acceptSymbol(","));
      expectSymbol("}", "after the values of qualifier " + name);
    }
    if (acceptSymbol(":")) {
      do {
        const std::string flavor = identifier("a flavor after qualifier " + name);
        restricted = restricted || equalsIgnoringAsciiCase(flavor, "restricted");
      } while (current_.kind == TokenKind::Identifier);
    }
    if (!value) return std::nullopt;
    return MofQualifier{std::move(name), !restricted};
  }

  void qualifierValue(const std::string& name) {
    if (current_.kind == TokenKind::String) {
      strings("");
    } else if (current_.kind == TokenKind::Number || current_.kind == TokenKind::Identifier) {
      advance();
    } else {
      fail("expected a value for qualifier " + name);
    }
  }

  MofClass classDeclaration() {
    MofClass declared;
    declared.qualifiers = qualifiers();
    declared.line = current_.line;
    declared.nameSpace = nameSpace_;
    expectKeyword("class", "to begin a declaration");
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
    const std::vector<MofQualifier> read = qualifiers();
    declared.key = std::any_of(read.begin(), read.end(),
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

  MofLexer lexer_;
  Token current_;
  std::string nameSpace_ = "root\\cimv2";
};

}  // namespace

std::vector<MofClass> parseMof(std::string_view text, const std::string& fileName) {
  return MofParser(text, fileName).document();
}

}  // namespace wmihost
