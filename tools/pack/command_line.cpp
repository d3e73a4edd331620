#include "pack/command_line.h"

#include <optional>

#include "pack/book_packer.h"
#include "pack/host.h"

namespace brisomel::pack {
namespace {

namespace fs = std::filesystem;

bool Is(const fs::path& arg, const char* text) { return arg.native() == fs::path(text).native(); }

bool StartsWithDash(const fs::path& arg) { return !arg.native().empty() && arg.native()[0] == '-'; }

}  // namespace

std::string HelpText(const fs::path& packer_dir) {
  std::vector<fs::path> readers = DefaultReaders(packer_dir);
  std::string places;
  for (size_t i = 0; i < readers.size(); ++i) {
    places += (i == 0 ? "" : "\n                  or else ") + Show(readers[i]);
  }
  return "Usage: brisomel-pack SITE_DIR -o BOOK.exe [--title TEXT] [--icon FILE.ico]\n"
         "                     [--reader PATH] [--obfuscate]\n"
         "\n"
         "Packs every file below SITE_DIR into BOOK.exe: the Brisomel reader followed by a ZIP\n"
         "archive of the files, folders kept. The start page (index.html, else index.htm, in\n"
         "SITE_DIR itself) comes first and is what the book opens with. Linked files and folders\n"
         "are packed as what they lead to; a link that leads nowhere is left out with a warning.\n"
         "Two paths that differ only in letter case are refused, as Windows would take them\n"
         "for one file.\n"
         "\n"
         "  -o BOOK.exe     the book to write (replaced only once it is complete)\n"
         "  --title TEXT    the book's title, shown in its window's caption and task bar\n"
         "                  button; without it, the start page's title, else \"Brisomel\"\n"
         "  --icon FILE.ico the book's icon, every size the file holds, in place of the\n"
         "                  reader's own\n"
         "  --reader PATH   the reader program to put in front of the archive, 32-bit or\n"
         "                  64-bit; without it, the first that exists of\n"
         "                  " +
         places +
         "\n"
         "  --obfuscate     encipher every file after the start page, so the pages cannot be\n"
         "                  read from the book with an ordinary ZIP tool (only the reader\n"
         "                  restores them)\n"
         "  -h, --help      show this text\n";
}

std::vector<fs::path> DefaultReaders(const fs::path& packer_dir) {
  return {packer_dir / "brisomel.exe",
          (packer_dir / ".." / "win32" / "brisomel.exe").lexically_normal(),
          (packer_dir / ".." / "win64" / "brisomel.exe").lexically_normal()};
}

int RunPacker(const std::vector<fs::path>& args, const fs::path& packer_dir, std::ostream& out,
              std::ostream& err, bool err_is_terminal) {
  PackOptions options;
  options.progress_to_terminal = err_is_terminal;
  std::optional<fs::path> site, output, reader, icon, title;
  auto usage = [&](const std::string& message) {
    err << "brisomel-pack: " << message << "\n"
        << "Usage: brisomel-pack SITE_DIR -o BOOK.exe [--title TEXT] [--icon FILE.ico]"
           " [--reader PATH] [--obfuscate] (--help for more)\n";
    return 2;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const fs::path& arg = args[i];
    if (Is(arg, "-h") || Is(arg, "--help")) {
      out << HelpText(packer_dir);
      return 0;
    } else if (Is(arg, "-o") || Is(arg, "--reader") || Is(arg, "--icon") || Is(arg, "--title")) {
      if (i + 1 == args.size()) {
        return usage(Show(arg) + (Is(arg, "--title") ? " needs a text" : " needs a path"));
      }
      std::optional<fs::path>& target = Is(arg, "-o")         ? output
                                        : Is(arg, "--reader") ? reader
                                        : Is(arg, "--icon")   ? icon
                                                              : title;
      if (target) {
        return usage(Show(arg) + " given twice");
      }
      target = args[++i];
    } else if (Is(arg, "--obfuscate")) {
      options.obfuscate = true;
    } else if (StartsWithDash(arg)) {
      return usage("unknown option " + Show(arg));
    } else if (site) {
      return usage("more than one site folder: " + Show(*site) + " and " + Show(arg));
    } else {
      site = arg;
    }
  }
  if (!site) {
    return usage("no site folder given");
  }
  if (!output) {
    return usage("no book named (-o BOOK.exe)");
  }
  if (site->empty() || output->empty()) {
    return usage("empty path given");
  }
  options.site_dir = *site;
  options.output = *output;
  if (icon) {
    if (icon->empty()) {
      return usage("empty path given");
    }
    options.icon = *icon;
  }
  if (title) {
    std::u16string text;
    if (!ArgumentText(*title, &text)) {
      return usage("the --title text is not well-formed Unicode (UTF-8)");
    }
    options.title = std::move(text);
  }
  if (reader) {
    options.reader = *reader;
  } else {
    std::vector<fs::path> candidates = DefaultReaders(packer_dir);
    for (const fs::path& candidate : candidates) {
      std::error_code status;
      if (fs::is_regular_file(candidate, status)) {
        options.reader = candidate;
        break;
      }
    }
    if (options.reader.empty()) {
      err << "brisomel-pack: no reader found at";
      for (size_t i = 0; i < candidates.size(); ++i) {
        err << (i == 0 ? " " : i + 1 == candidates.size() ? " or " : ", ") << Show(candidates[i]);
      }
      err << "; name one with --reader PATH\n";
      return 1;
    }
    out << "brisomel-pack: no --reader given: using " << Show(options.reader) << "\n";
  }
  PackResult result = PackBook(options, err);
  if (!result.ok) {
    err << "brisomel-pack: " << result.error << "\n";
    return 1;
  }
  out << "brisomel-pack: wrote " << Show(options.output) << " (" << result.entries
      << (result.entries == 1 ? " file, " : " files, ") << result.book_size << " bytes, reader "
      << Show(options.reader) << ")\n";
  if (result.title.empty()) {
    out << "brisomel-pack: no title given and none in the start page: the book is called "
           "\"Brisomel\"\n";
  } else {
    out << "brisomel-pack: title \"" << ShowText(result.title) << "\""
        << (result.title_from_start_page ? " (the start page's)" : "") << "\n";
  }
  if (!result.icon_sizes.empty()) {
    out << "brisomel-pack: icon " << Show(options.icon) << " (";
    for (size_t i = 0; i < result.icon_sizes.size(); ++i) {
      out << (i == 0 ? "" : ", ") << result.icon_sizes[i];
    }
    out << ")\n";
  }
  return 0;
}

}  // namespace brisomel::pack
