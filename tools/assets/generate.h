// Writes the complete default data set: every model, texture, caption picture and the
// sound track the demo loads, made by our own code, the same bytes on every run.
#pragma once

#include <string>

// Writes the set into `dataDir` (made if missing). False, with a message on stderr, when a
// file cannot be written.
bool GenerateDataSet(const std::string& dataDir);
