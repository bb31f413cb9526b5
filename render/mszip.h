// MSZIP decompression, the compression of "tzip" and "bzip" X files: a run of blocks, each
//   u16 decompressed size, u16 compressed size (counting the signature), "CK", deflate data
// where each block's deflate stream may refer back into the output of the blocks before it
// (at most 32 KiB back).
// Promises: reads only the `size` bytes given, through ByteReader; output grows only with what
// the blocks really produce and never past `expectedSize`; a missing signature, a block whose
// stream does not end exactly where its sizes say, or blocks that produce more or fewer than
// `expectedSize` bytes in all are refused (false), with `out` then holding no data worth using.
// Does not: choose `expectedSize` or bound it (the caller weighs it against the file's size);
// look at bytes after the block that completes the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

bool InflateMszip(const uint8_t* data, size_t size, size_t expectedSize, std::vector<uint8_t>& out);
