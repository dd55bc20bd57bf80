#pragma once

#include <string>

class TVorlaData;

/// The document as one JSON object, in the shape scripts and tests rely on.
std::string DumpDocument(const TVorlaData& document);
