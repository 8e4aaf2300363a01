#include "cli/help_text.h"

#include <array>

#include "modes/exit_codes.h"

namespace quorvid::help_text {
const std::string_view kOptionDefinitions = R"~( -5, --md5 .................. Generate MD5 hashes
 -1, --sha1 ................. Generate SHA1 hashes
 -2, --sha2, --sha256 ....... Generate SHA2_256 hashes  ***DEFAULT***
     --384,  --sha384 ....... Generate SHA2_384 hashes
     --512,  --sha512 ....... Generate SHA2_512 hashes
 -3, --sha3, --sha3_256 ..... Generate SHA3_256 hashes
             --sha3_384 ..... Generate SHA3_384 hashes
             --sha3_512 ..... Generate SHA3_512 hashes
     --blk2, --blake2 ....... Generate Blake2S_256 hashes (on x86)
             --blake2s ...... Generate Blake2S_256 hashes (optimized for x86)
             --blake2b ...... Generate Blake2B_512 hashes (optimized for x64)
     --blk3, --blake3 ....... Generate Blake3_256 hashes
     --xx64, --xxhash64 ..... Generate XXHash64 hashes
     --mh3,  --murmurhash3 .. Generate MurmurHash3_x86_128 hashes (on x86)
     --murmurhash3_x86 ...... Generate MurmurHash3_128 hashes (optimized for x86)
     --murmurhash3_x64 ...... Generate MurmurHash3_128 hashes (optimized for x64)
 -@, --all .................. Generate all hashes (cryptographic and non-cryptographic)
 -n, --nohash ............... Display the selected file's date/time info in place of a hash
     --df, --dateformat ..... Set custom date format for the --nohash option
 -f, --fsum ................. Generate individual hash output almost like FSUM
 -l, --list ................. Generate hashes of individual files and/or text strings  ***DEFAULT***
 -d, --dir .................. Generate selected hash(es) for all files in this folder
 -r, --rdir ................. Generate selected hash(es) for all files in this tree
 -e, --exc .................. Provide a filename containing list of exclusions, one entry per line
 -u, --summary .............. Provide a filename for writing the summary output to
 -o, --out .................. Provide a filename for writing the output to
 -a, --append ............... Append to the output file, rather than overwriting it
 -t, --tee .................. Send to the output file in addition to StdOut (normally, the screen)
 -k, --compare .............. Compare two files to determine if they have the same hash
     --pt, --plaintext ...... Display only the hash text for text hashes, ignoring -# and -z
 -j, --just-hash ............ Display just the hash, with no other data (useful for --hl)
 -s, --simple ............... Display only the hash and the filename with full path
 -i, --hidepath ............. Display only the hash and the basic filename
 -z, --size ................. Display file size in addition to hash and name -- for archive scripts
 -#, --showdate ............. Display file date in addition to hash and name -- for archive scripts
 -m, --maxsize .............. Exclude files larger than xxx bytes from being hashed in -d mode
     --before-this-date ..... Only select files whose dates are older than this (same as --bd "<date>")
     --after-this-date ...... Only select files whose dates are newer than this (same as --ad "<date>")
     --older, --older-than .. Only select files that are older than this many days ago
     --newer, --newer-than .. Only select files that are newer than this many days ago
 -$, --exit-on-bad-date ..... Exit immediately if invalid date or date format provided with --bd, --ad or --df
 -w, --showzero ............. Send "No files found in" error to StdOut vs StdErr if no files are found
 -c, --count ................ Display total number of processed items
 -p, --prefix ............... Display prefix hash identifier
 -g, --generate-list ........ Generate list of checksums for subsequent verification
 -x, --check, --validate .... Check a supplied directory tree against list of saved checksums
     --sm, --show-matched ... Display the number of matched checksums when validating a list with -x
     --hm, --hide-matches ... Suppress display of files with matching checksums when validating a list with -x
 -y, --verify ............... Verify one file against a single hash, or against a list of hashes
     --vm, --verify-many .... Verify many files in a list of files and hashes (more generic than -x)
     --hl, --hash-lookup .... Search for one or more files that match one or more known hashes
     --nb, --no-blank-dir ... Do not allow blank directory with -d parameter (legacy behavior)
     --lm, --legacy-mode .... Maintain some exit codes from v4.x, and enable legacy -d behavior as with --nb
     --e64, --encode64 ...... Encode a string or a file using base64 encoding
     --d64, --decode64 ...... Decode a string or a file using base64 encoding
     --file, --use-file ..... The provided input is a file, rather than direct text input
     --url, --use-url ....... Verify that a URL based hashlist can be processed properly with -y and --hl
     --vh, --valid-hashes ... Display list of valid hash algorithms supported, then exit
     --cp, --codepage ....... Set the codepage for file input and output (default = 65001)
 -b, --banner ............... Display banner information on each program execution
 -v, --verbose, --build ..... Display extended build information, plus application exit/return codes
 -h, --help, -? ............. Display basic help message
     --h2, --??,  --help2 ... Display extended help information, plus some syntax examples
     --h3, --???, --help3 ... Display complete help information, including exit/return codes
     --info ................. Display banner and build information, then exit
     --version-only ......... Display build information without banner, then exit
     --audible-error ........ Enable a beep on syntax error
     --error-delay .......... Enable a ~7 second delay on syntax error
     --debug-mode ........... Enable debug mode, which includes enabling audible error and error delay)~";

const std::string_view kAddedOptionDefinitions = R"~( Also accepted, beside the options above:
     --version .............. Display build information without banner, then exit (same as --version-only)
     --progress ............. Display the progress of a long run (files, bytes, rate, time left) on StdErr
 A file name of "-" stands for standard input (list items, -k, -y, and --e64|--d64 with --file).)~";

namespace {

// Example values that name no real site: any list in sha256sum form serves.
constexpr std::array<std::string_view, 53> kSyntaxExamples = {
    "--help",
    "--valid-hashes",
    "--md5 SomeText",
    "\"{path}\"",
    "\"any string of text\" AnyFile.dll",
    "--sha1 \"%SystemDrive%\\Temp\\SomeFile.exe\" \"{file}\"",
    "--all \"string of text\" SomeFile.TXT \"more text\" OtherFile.DAT  {file}",
    "--md5 -s -c -z -# -m \"20,000\" -r --dir \"%WinDir%\\System32\" *.BAT *.CMD *.EXE",
    "--sha1 -c --fsum -d \"F:\\LikeFSUM\" *.EXE *.DLL",
    "--sha2 --hidepath -f -r -d \"G:\\FileNameOnly\" *.EXE *.TXT",
    "--nohash -d %SystemDrive%\\Temp",
    "--nohash --dateformat \"yyyy mm dd hh:nn AM/PM\" -d %SystemDrive%\\Temp",
    "--compare \"%SystemDrive%\\Test\\OldFile.exe\" \"%SystemDrive%\\Test\\NewFile.exe\"",
    "--sha256 --sha3_384 -r -d \"{folder}\" *.EXE *.DLL",
    "--sha1 --md5 -e \"%SystemDrive%\\SkipThese.TXT\" -r -d \"F:\\ThatFolder\" *.EXE *.SYS",
    "--sha2 -z -u \"%SystemDrive%\\Temp\\Summary.TXT\" -r -d \"E:\\MyBackups\" *",
    "--sha3 -o \"\\\\SomeServer\\SomeShare\\MyLogs\\ThisLog.TXT\" -r -d \"\\\\MyServer\\MyFolder\" *",
    "--Blake3 -s -f -a -w -o \"D:\\ThatLog.TXT\" -r -d \"E:\\MyData\" *.DLL",
    "--sha1 -y Quorvid.ico d41d8cd98f00b204e9800998ecf8427e",
    "--all -y Quorvid.ico d41d8cd98f00b204e9800998ecf8427e",
    "--all -y Quorvid.ico %SystemDrive%\\Checksums\\ListOne.TXT",
    "--sha3 -g \"%TEMP%\\QV_TestFile1.TXT\" -r -d \"%TEMP%\" *.EXE *.TXT",
    "--sha1 -g \"%TEMP%\\QV_TestFile2.TXT\" -d \"%WinDir%\"",
    "--check \"%TEMP%\\QV_TestFile2.TXT\"",
    "--sm -x \"%TEMP%\\QV_TestFile2.TXT\" \"%WinDir%\"",
    "--cp 1252 --sha1 -g \"%TEMP%\\QV_TestFile2.TXT\" -d \"%WinDir%\"",
    "--cp 866 --check \"%TEMP%\\QV_TestFile2.TXT\"",
    "--cp 1252 --sm -x \"%TEMP%\\QV_TestFile2.TXT\" \"%WinDir%\"",
    "--cp 1252 --sm --hm -x \"%TEMP%\\QV_TestFile2.TXT\" \"%WinDir%\"",
    "--fsum -s -o \"%TEMP%\\QV_TestFile3.TXT\" -d \"%WinDir%\"",
    "--cp 866 --fsum -s -o \"%TEMP%\\QV_TestFile3.TXT\" -d \"%WinDir%\"",
    "--vm \"%TEMP%\\QV_TestFile3.TXT\"",
    "--vm \"%TEMP%\\QV_TestFile3.TXT\" \"%WinDir%\"",
    "--sha1 --sha2 --sha3 -j -o \"%TEMP%\\QV_TestFile4.TXT\" -d \"%WinDir%\"",
    "--sha2 --hl \"%TEMP%\\QV_TestFile4.TXT\" -d",
    "--all --hl \"%TEMP%\\QV_TestFile4.TXT\" -d \"%WinDir%\"",
    "--hl \"https://example.org/downloads/SHA256SUMS\" -r -d %SystemDrive%\\Scripts",
    "--url \"https://mirror.example.net/releases/SHA256SUMS\"",
    "--e64 \"I really love this utility!!\"",
    "--d64 \"SSByZWFsbHkgbG92ZSB0aGlzIHV0aWxpdHkhIQ==\"",
    "--e64 \"Let us encode this to a file...\" -o \"%TEMP%\\QV_UUencode.TXT\"",
    "--d64 \"%TEMP%\\QV_UUencode.TXT\" --file",
    "--d64 \"%TEMP%\\QV_UUencode.TXT\" --file -o \"%TEMP%\\QV_UUdecode.TXT\"",
    "--e64 \"%TEMP%\\QV_UUdecode.TXT\" --file ",
    "--e64 \"%TEMP%\\QV_TestFile2.TXT\" --file ",
    "--e64 \"%TEMP%\\QV_TestFile2.TXT\" --file -o \"%TEMP%\\QV_UUencode.TXT\"",
    "--d64 \"%TEMP%\\QV_UUencode.TXT\" --file ",
    "--ad=\"01/01/2023\" -# -d \"%WinDir%\"",
    "--bd=\"01/01/2021\" -# -d \"%WinDir%\"",
    "--ad=\"01/01/2018\" --bd=\"01/01/2020\" -# -d \"%WinDir%\"",
    "--newer-than=100 -# -d \"%WinDir%\"",
    "--older-than=200 -# -d \"%WinDir%\"",
    "--older-than=100 --newer-than=200 -# -d \"%WinDir%\"",
};

namespace ec = exit_code;

// The wording of every exit code, as the help lists them.
constexpr ExitCodeText kExitCodes[] = {
    {ec::kSuccess, "Command completed successfully"},
    {ec::kFileNotReadBit, "Bit #1 Enabled = At least one file cannot be accessed for validation (-d, -g, -x, --vm)"},
    {ec::kChecksumFailedBit, "Bit #2 Enabled = At least one file failed its checksum validation    (-d, -g, -x, --vm)"},
    {ec::kChecksumPassedBit, "Bit #3 Enabled = At least one file passed its checksum validation    (-d, -g, -x, --vm)"},
    {ec::kMissingParameters, "Missing necessary/essential parameters"},
    {ec::kInvalidParameters, "Invalid parameters were found"},
    {ec::kMismatchedParameters, "Mismatched/conflicting parameters used"},
    {ec::kIncompleteParameters, "Parameters are missing mandatory values"},
    {ec::kLegacyNoFileName, "No valid filename was provided"},
    {ec::kLegacyCannotRead, "Unable to read from the filename provided"},
    {ec::kLegacyCannotWrite, "Unable to write to the filename provided"},
    {ec::kNoFilesFound, "No files met the search criteria"},
    {ec::kBadDateConversion, "Invalid date/time conversion attempted"},
    {ec::kCannotCompare, "Could not compare the two files"},
    {ec::kFilesDiffer, "Compared files are different"},
    {ec::kNoDirectory, "No valid directory was provided (with -d, -g, -x, -y or --vm)"},
    {ec::kNoExclusionFile, "No valid exception file was provided (with -e)"},
    {ec::kNoOutputFile, "No valid output file was provided (with -o)"},
    {ec::kExclusionFileUnreadable, "Unable to read from the exception list file"},
    {ec::kChecksumFileUnreadable, "Unable to read from the checksum file provided"},
    {ec::kSummaryUnwritable, "Unable to write to the summary file provided"},
    {ec::kOutputUnwritable, "Unable to write to the output file provided"},
    {ec::kChecksumFileUnwritable, "Unable to write to the checksum file provided"},
    {ec::kNoChecksumFile, "No valid checksum file was provided (with -x, -y, --vm or --hl)"},
    {ec::kFilesNotAccessible, "One or more files could not be accessed"},
    {ec::kNoAlgorithm, "At least one hash algorithm needs to be selected"},
    {ec::kTooManyAlgorithms, "Too many hash algorithms were selected"},
    {ec::kFileNamesMissing, "One or more filenames were not provided"},
    {ec::kNoChecksumListFile, "No valid output file was provided (with -g)"},
    {ec::kNoValidHash, "No valid hash was provided (with -y or --hl)"},
    {ec::kMalformedChecksumFile, "Invalid or incorrectly formatted checksum file"},
    {ec::kNoChecksumMatch, "No valid checksum matches were found"},
    {ec::kNoBase64Text, "No text was provided for encoding or decoding (with --e64 or --d64)"},
    {ec::kNoBase64File, "No file was provided for encoding or decoding (with --e64 or --d64)"},
    {ec::kInvalidDate, "Provided date or date range is invalid"},
    {ec::kFallbackDateUsed, "A fall-back date or date format was used in place of invalid data"},
    {ec::kNoValidUrl, "No valid URL provided (with -y or --hl)"},
    {ec::kUrlUnreachable, "Unable to reach URL location (with -y or --hl)"},
    {ec::kNoChecksumsAtUrl, "No valid checksums found in URL (with -y or --hl)"},
    {ec::kValidHashesListed, "List of valid hash algorithms was generated successfully"},
    {ec::kAborted, "Processing was aborted with CTRL-C or CTRL-BREAK"},
    {ec::kVersionShown, "Only application version info was displayed"},
    {ec::kHelpShown, "Syntax help requested"},
};

}  // namespace

std::span<const std::string_view> SyntaxExamples() { return kSyntaxExamples; }

std::span<const ExitCodeText> ExitCodeTexts() { return kExitCodes; }

const std::string_view kGeneralNotes = R"~( * Entering {name} with no parameters will display this help message.
 * Parameters surrounded by <> are mandatory; Those surrounded by [] are optional.
 * Parameters are case-insensitive, but may be shown in uppercase for clarity.
 * Single-character parameters (e.g. -H) can be prefaced by "-" or "/".
 * Multi-character parameters (e.g. --Help) should be prefaced by "--" or "/".
 * All parameters need to be separated from each other by at least one space.
 * The -?, -H, and --Help parameters are identical. Likewise, the --??, --H2, and --Help2 parameters are identical.
 * The -V parameter causes application build mode info to be shown whenever the banner is shown.
 * Using --??? OR --H3 OR --Help3 will provide the full help info plus application exit/return codes.
 * The --Info parameter will ONLY show the banner, with build info, and quit.  It will process no other data.
 * The --Version-Only parameter behaves like the --Info parameter, but without showing the banner.
 * The --???, --??, -?, --Version-Only, and --Info parameters supersede all other options -- in that order.
 * The HELP info will always be sent to StdErr, even when -O is used.  It can be
   redirected using the standard OS redirection syntax (i.e. "2> SomeFileOrDevice").
 * The application banner is only displayed when Help Syntax is displayed, or when -B is used.)~";

const std::string_view kAppSpecificNotes = R"~( * The terms "hash" and "checksum" are used interchangeably in this application.
 * Review the syntax carefully, as not all options are available in all modes.
 * Any text input containing spaces or special characters should be enclosed in "".
 * When conflicting parameters are used on the same line, the later options take
   precedence over the earlier selections.
 * UNC paths can be used anywhere you see drive mappings in the syntax examples.
 * The --VH parameter is superseded only by the help, info and version parameters.
 * All desired options must be provided before directory name and file specs.
 * LIST mode (-L) will be assumed if no other parameters are present on the line.
 * In LIST mode, files without full path are checked in current directory, only.
 * In LIST mode, for any file not found, a hash of the filename will be generate
   instead. Wildcards are treated as plain text in LIST mode.
 * In DIR mode (-D), wildcard specifications must be the last parameters on a line.
 * When no directory is provided with -D, the current directory will now be used.
 * Using -J with -D will generate only hashes, making great input for the --HL option.
 * Using -J with -L can lead to some confusion, especially if multiple ciphers are used.
 * In COMPARE mode (-K), two valid filenames must be provided.
 * The number used with -M can have commas or periods as thousands separators.
 * The -V parameter implies -B, and will cause the banner to be displayed.
 * The -R parameter is ignored if there is no -D parameter found.
 * If the -K parameter is found, any -D and -L parameters found will be ignored.
 * If the -D parameter is found, any -L parameter found will be ignored.
 * When using multiple options with -L, it is best if -L is the final parameter.
 * To generate multiple hashes for each file or text, use multiple hash options.
 * Using -S or -I will affect -B, -V, --ALL and --FSUM output, but not -C output.
 * Using the -S in LIST mode (-L) will conceal the "{File}" and {Text}" labels from the output.
 * Using --NOHASH (-N) will override any other hash selection, including --ALL and
   is only valid in conjunction with DIR mode (-D).
 * If multiple hashes are selected, the hash prefix (name) will always be shown.
 * The default date/time format when using -N without --DF is: "mm/dd/yyyy hh:nn AM/PM".
 * The default date/time format when using -N with --DF "" is: "{locale date-time format}".
 * The -P parameter will modify all output, including -K, -S, -I and --FSUM output.
 * Exclusion parameters will be matched against full path; -E must accompany -D.
 * Excluded file/folder names (-E) take precedence over included file/folder names.
 * -U will generate a summary file containing success, total and error counts,
   as well as TRUE if the processing was aborted, vs FALSE if it completed normally.
 * If no filename is supplied for -U, then the following filename will be attempted:
   "{summary}".
 * The "Unfiltered" count refers to the total files if no exclusion list were used.
 * If -W is used, any "No files found in" error will be sent to StdOut instead of StdErr.
 * If -X is used without --SM, only missing files and failed checksums will be counted.
 * The -Y parameter may be used in one of three ways:
     1. -Y <file> <hash>      (one file compared to a single hash)
     2. -Y <file> <hash_list> (one file compared to a file containing multiple hashes)
     3. -Y <file> <hash_url>  (one file compared to a url containing multiple hashes)
 * The --HL parameter may be used in one of three ways:
     1. --HL <hash>      [-R] -D [directory]      (one hash lookup against a directory tree)
     2. --HL <hash_list> [-R] -D [directory] (multiple hash lookups against a directory tree)
     3. --HL <hash_url>  [-R] -D [directory] (multiple hash lookups against a directory tree)
 * The hash-related values for -Y and --HL are always evaluated as follows::
     1. Is it a valid URL? (https:// or http://)
     2. Is it a valid file on the local file system or network?
     3. Is it a valid text hash?
 * The -X parameter is a direct counterpart of the -G parameter.
 * --VM will read any checksum file which contains, on each line, one hash
   followed by a corresponding filename (separated by a space and/or asterisk).
 * Ideally, the -X and --VM parameters should be used from the same directory as
   the files to be verified; alternately, the directory name can also be provided
   as an additional parameter, immediately after the name of the checksum file.
 * -Y and --HL can read the same files that will work with --VM.
 * If multiple columns exist in a checksum file, -Y and --HL will read only the first column.
 * You can use -J to generate single-column checksum files that can be read by -Y and --HL.
 * The --URL parameter displays the contents of a URL that should contain valid hashes,
   and it supersedes everything except the help/info parameters.
 * The maximum file size for the -M parameter in the x86 edition is: 4294967295 bytes
 * Using --LM will maintain exit codes 70, 71 and 72, as well as old -D behavior (see: --NB).
 * The base64 routines (--E64|--D64) support the MIME specifications, RFC 1421 and 2045.
 * Neither --AD nor --BD can be used at the same time as --OLDER or --NEWER.
 * Currently, --BD and --AD only accept dates in the format of "mm/dd/yyyy".
 * --BD and --OLDER will convert the date or "days ago" value provided to "mm/dd/yyyy 23:59:59" format.
 * --AD and --NEWER will convert the date or "days ago" value provided to "mm/dd/yyyy 00:00:00" format.
 * If -$ is used, invalid dates (--BD, --AD) or date formats (--DF) will cause an error and exit.
 * If -$ is not used, date or date format substitutions will be used instead of the bad data.
 * When --OLDER and --NEWER are used together, the result will depend on which
   of the two parameters is provided with the more recent date.
      --AD="01/01/2018" --BD="01/01/2020" .... exclude files that are outside the date range
      --BD="01/01/2018" --AD="01/01/2020" .... exclude files that are inside the date range
 * The --OLDER and --NEWER parameters work similarly to --BD and --AD, respectively.
 * The --CP parameter allows you to set the codepage for input and output files.  (Default is 65001)
 * If --CP is used with -G to generate a checksum file, it must also be used with -X to read it properly.
 * NOTE: If any filenames being processed contain characters not supported by the selected codepage,
   invalid checksums may be generated.)~";

const std::string_view kSupportedAlgorithms = R"~( * Secure Cryptographic Algorithms ..... SHA2 [256,384,512], SHA3 [256,384,512], BLAKE2S, BLAKE2B, BLAKE3
 * InSecure Cryptographic Algorithms ... MD5, SHA1
 * Non-Cryptographic Algorithms ........ XXHash64, MurmurHash3_128 [x86,x64])~";

const std::string_view kHashSpecificNotes = R"~( * (As of v4.0) --SHA3 and -3 return SHA3_256 hashes, rather than SHA3_384 hashes.
 * (As of v4.0) --SHA384 return SHA2_384 hashes, rather than SHA3_384 hashes.
 * Selecting more than one hash algorithm with -G will generate an error.
 * By default, -Y and --VM will check for a valid hash across all algorithms,
   but if any specific algorithms are selected, only those algorithms will be used.
 * BLAKE3 is the default algorithm for the file comparison (-K) operations.
 * SHA2_256 is the default algorithm for all other operations.
 * XXHash64 is a very fast, but non-cryptographic hash. Useful non-secure hashing roles.
 * MurmurHash3 (also --MH3) is another pretty fast, non-cryptographic hash.
 * Non-cryptographic hashes are desirable where speed is more important than
   security, such as with basic file comparisons, and generic file integrity
   on non-critical systems (or systems not subject to compliance regulations).
 * The x64 optimized implementation of Blake2 (Blake2B) produces different
   output than the x86 optimized version (Blake2S) does.
 * The x64 implementation of MurmurHash3_128 produces different output than
   the x86 implementation does.
 * The specific hash algorithms that are chosen when you use the --MH3 or
   --BLAKE2 parameters, depend upon which edition of {name} is running.
 * To avoid ambiguity, you are encouraged to select the specific algorithm
   name that you intend to use, such as --MurmurHash3_x64, --MurmurHash3_x86,
   --Blake2B, or --Blake2S, rather than the generic --MH3 or --Blake2 names.
 * The -# parameter can only be used with legitimate hashes. If --NOHASH is
   selected, then -# will be ignored.)~";

const std::string_view kFsumNotes = R"~( * For compatibility with FSUM, all parameters can be prefaced by "-" without error.
 * The --CHECK parameter is compatible with the same parameter in the FSUM utility,
   and will produce almost identical results for all hash algorithms that both
   utilities share (e.g. MD5, SHA1, and SHA2).)~";

const std::string_view kExitCodeIntroduction = R"~( * Exit/Return codes will be generated for the following conditions:)~";

const std::string_view kExitCodeBitNotes = R"~( * Exit codes 1-7 are used (with -D, -G, -X and --VM) to indicate how
   successful the entire checksum validation process was:
      0 - all checksums for files were created or validated without error
     +1 - if any files could not be found or accessed for creation or validation
     +2 - if any files were changed, resulting in a different checksum
     +4 - if at least one file was able to pass its checksum validation

   An exit code of 5-7 is better than a exit code of 1-3...)~";

}  // namespace quorvid::help_text
