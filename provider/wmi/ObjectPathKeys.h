#pragma once

#include <string>

#include "provider/request/model/KeyValues.h"

namespace qrv::cim {

// The class name of an object path Class.Key1="v1",Key2=v2: the text before
// the first "." once a leading server and namespace ("\\.\root\cimv2:" or
// "root\cimv2:") are left out, or all of that text.
std::string objectPathClass(const std::string& path);

// The key values of an object path, read after its class name. A quoted
// value runs from after `="` to the next `",` whose quote is not escaped,
// or to just before the path's last character, and reads \" as a quote
// and \\ as a backslash. An unquoted value runs to the next "," and is
// taken as it stands. Keys are not trimmed, the first value of a key is
// kept, and the parser never fails.
KeyValues parseObjectPathKeys(const std::string& path);

// Whether every key name and value can stand in the request document: none
// holds a control character, which XML either forbids or (tab, line feed,
// carriage return in an attribute) reads back as a space, nor U+FFFE or
// U+FFFF, which XML forbids.
bool keysFitTheRequestDocument(const KeyValues& keys);

}  // namespace qrv::cim
