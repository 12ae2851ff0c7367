#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qrv::cim {

// Splits an <Attributes> block as writeRequestAttributes writes it into its
// shape and its values: the shape is the block with the text of every value
// attribute left out (entries, names, kinds and array lengths stay), the
// values are those texts unescaped, in document order. Two blocks of the
// same shape parse into trees that differ in those values alone.
std::string attributesShape(std::string_view block, std::vector<std::string>& values);

}  // namespace qrv::cim
