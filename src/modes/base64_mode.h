// --e64 / --d64 of a text or, with --file, of a file.
#pragma once

#include <string>

#include "modes/run_settings.h"

namespace quorvid {

/// Runs the base64 case for `value` (encode when `encode`, else decode):
/// with --file an empty value stops with 121 and a name that is no existing
/// file with 71; without --file an empty value stops with 120; otherwise the
/// text or file is converted. `ModeTag` and `HelpSections` are set already.
void RunBase64(RunSettings& settings, bool encode, const std::string& value);

/// Encodes the file `input` into the file `output` (replaced, even with -a),
/// showing "Reading"/"Writing" progress on standard error and, when `tee`,
/// the written file on standard output. A file that cannot be read stops
/// with 71, one that cannot be written with OutputWriteFailExitCode.
void EncodeFileToFile(RunSettings& settings, const std::string& input, const std::string& output,
                      bool tee);

/// Encodes the file `input` to the result stream: an empty line, then the text.
void EncodeFileToResult(RunSettings& settings, const std::string& input);

/// Decodes the text file `input` leniently into the file `output`; a last
/// group left unfinished without "=" is dropped. Progress and tee as above.
void DecodeFileToFile(RunSettings& settings, const std::string& input, const std::string& output,
                      bool tee);

/// Decodes the text file `input` to the result stream as text lines: an empty
/// line, the lines, then one more line end. Nothing is kept on disk.
void DecodeFileToResult(RunSettings& settings, const std::string& input);

}  // namespace quorvid
