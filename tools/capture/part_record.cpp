#include "tools/capture/part_record.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace {

std::string SpanText(FrameSpan span) {
  return std::to_string(span.begin) + "-" + std::to_string(span.end);
}

bool ParseSpan(const std::string& text, FrameSpan& span) {
  long long begin = 0, end = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%lld-%lld%c", &begin, &end, &tail) != 2 || begin < 0 ||
      end < begin)
    return false;
  span = {begin, end};
  return true;
}

std::string PartName(const PartRecord& part) {
  return "part " + std::to_string(part.k) + "/" + std::to_string(part.n);
}

// Why `part` was not cut from the same capture as `first`, or "".
std::string Difference(const PartRecord& part, const PartRecord& first) {
  if (part.build != first.build)
    return "another build (" + part.build + ", not " + first.build + ")";
  if (part.options != first.options || part.fps != first.fps)
    return "other options (" + part.options + " at " + part.fps + " fps, not " + first.options +
           " at " + first.fps + " fps)";
  if (part.range.begin != first.range.begin || part.range.end != first.range.end ||
      part.n != first.n)
    return "another range or split (frames " + SpanText(part.range) + " in " +
           std::to_string(part.n) + " parts, not " + SpanText(first.range) + " in " +
           std::to_string(first.n) + ")";
  if (part.probe != first.probe)
    return "another probe checksum (" + part.probe + ", not " + first.probe +
           "): its machine's GL draws other pixels";
  return "";
}

}  // namespace

std::string ProgramChecksum() {
  std::ifstream program("/proc/self/exe", std::ios::binary);
  uLong crc = crc32(0, nullptr, 0);
  std::vector<char> block(1 << 16);
  while (program.read(block.data(), std::streamsize(block.size())) || program.gcount() > 0)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(block.data()), uInt(program.gcount()));
  char text[16];
  std::snprintf(text, sizeof text, "%08lx", crc);
  return text;
}

std::string PartRecord::Text() const {
  return "emberhall-part=" + std::to_string(k) + "/" + std::to_string(n) +
         ";frames=" + SpanText(frames) + ";range=" + SpanText(range) + ";fps=" + fps +
         ";options=" + options + ";build=" + build + ";probe=" + probe;
}

bool ParsePartRecord(const std::string& text, PartRecord& record) {
  std::map<std::string, std::string> fields;
  std::istringstream in(text);
  for (std::string field; std::getline(in, field, ';');) {
    const size_t equals = field.find('=');
    if (equals == std::string::npos) return false;
    fields[field.substr(0, equals)] = field.substr(equals + 1);
  }
  for (const char* key : {"emberhall-part", "frames", "range", "fps", "options", "build", "probe"})
    if (!fields.count(key)) return false;
  Chunk chunk;
  if (!ParseChunk(fields["emberhall-part"], chunk) || !ParseSpan(fields["frames"], record.frames) ||
      !ParseSpan(fields["range"], record.range))
    return false;
  record.k = chunk.k;
  record.n = chunk.n;
  record.fps = fields["fps"];
  record.options = fields["options"];
  record.build = fields["build"];
  record.probe = fields["probe"];
  return true;
}

std::string CheckParts(const std::vector<PartRecord>& parts,
                       const std::vector<std::string>& names) {
  if (parts.empty()) return "no parts to join";
  const PartRecord& first = parts.front();
  for (size_t i = 0; i < parts.size(); ++i) {
    const PartRecord& part = parts[i];
    if (const std::string why = Difference(part, first); !why.empty())
      return names[i] + " is not a part of the same capture as " + names[0] + ": " + why;
    for (size_t j = 0; j < i; ++j)
      if (parts[j].k == part.k)
        return names[i] + " repeats " + PartName(part) + ", which " + names[j] + " is";
    // Parts 1 to i are in place, so a part that is not i + 1 comes early or after a gap.
    const int expected = int(i) + 1;
    if (part.k == expected) continue;
    for (size_t j = i + 1; j < parts.size(); ++j)
      if (parts[j].k == expected)
        return names[i] + " (" + PartName(part) + ") is out of order: it comes before " + names[j] +
               " (" + PartName(parts[j]) + "); give the parts in order";
    return "part " + std::to_string(expected) + "/" + std::to_string(part.n) + " is missing " +
           (i ? "between " + names[i - 1] + " and " : "before ") + names[i] + " (" +
           PartName(part) + ")";
  }
  if (int(parts.size()) < first.n)
    return "part " + std::to_string(parts.size() + 1) + "/" + std::to_string(first.n) +
           " is missing after " + names.back();
  return "";
}
