// Every exit code of the program, named once. The help's exit-code list
// gives each its wording (cli/help_text); the list-checking modes combine
// the three bits.
#pragma once

#include <cstdint>

namespace quorvid::exit_code {

inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kFileNotReadBit = 1;          // a file could not be found or read
inline constexpr int32_t kChecksumFailedBit = 2;       // a file failed its check
inline constexpr int32_t kChecksumPassedBit = 4;       // a file passed its check
inline constexpr int32_t kMissingParameters = 64;
inline constexpr int32_t kInvalidParameters = 65;
inline constexpr int32_t kMismatchedParameters = 66;
inline constexpr int32_t kIncompleteParameters = 67;
inline constexpr int32_t kLegacyNoFileName = 70;       // 112 with --lm
inline constexpr int32_t kLegacyCannotRead = 71;       // 109 with --lm; base64's missing file
inline constexpr int32_t kLegacyCannotWrite = 72;      // 106 with --lm
inline constexpr int32_t kNoFilesFound = 77;
inline constexpr int32_t kBadDateConversion = 78;
inline constexpr int32_t kCannotCompare = 97;
inline constexpr int32_t kFilesDiffer = 98;
inline constexpr int32_t kNoDirectory = 100;
inline constexpr int32_t kNoExclusionFile = 101;
inline constexpr int32_t kNoOutputFile = 102;
inline constexpr int32_t kExclusionFileUnreadable = 103;
inline constexpr int32_t kChecksumFileUnreadable = 104;
inline constexpr int32_t kSummaryUnwritable = 105;
inline constexpr int32_t kOutputUnwritable = 106;
inline constexpr int32_t kChecksumFileUnwritable = 107;
inline constexpr int32_t kNoChecksumFile = 108;
inline constexpr int32_t kFilesNotAccessible = 109;
inline constexpr int32_t kNoAlgorithm = 110;           // in the help only: no run ends so
inline constexpr int32_t kTooManyAlgorithms = 111;
inline constexpr int32_t kFileNamesMissing = 112;
inline constexpr int32_t kNoChecksumListFile = 115;
inline constexpr int32_t kNoValidHash = 116;
inline constexpr int32_t kMalformedChecksumFile = 118;
inline constexpr int32_t kNoChecksumMatch = 119;
inline constexpr int32_t kNoBase64Text = 120;
inline constexpr int32_t kNoBase64File = 121;
inline constexpr int32_t kInvalidDate = 128;
inline constexpr int32_t kFallbackDateUsed = 129;
inline constexpr int32_t kNoValidUrl = 130;
inline constexpr int32_t kUrlUnreachable = 131;
inline constexpr int32_t kNoChecksumsAtUrl = 132;
inline constexpr int32_t kValidHashesListed = 251;
inline constexpr int32_t kAborted = 252;
inline constexpr int32_t kVersionShown = 254;
inline constexpr int32_t kHelpShown = 255;

}  // namespace quorvid::exit_code
