#include "html/reader/frameset_parser.h"

#include <bitset>
#include <memory>

#include "text/utf.h"

namespace brisomel {
namespace {

constexpr std::bitset<kSymbolCount> BodySymbols() {
  std::bitset<kSymbolCount> set;
  for (TSymbol s : {symBody, symP, symHeading, symHr, symOl, symUl, symDir, symMenu, symDl,
                    symAddress, symBlockquote, symPre, symImg, symTable, symForm})
    set.set(s);
  return set;
}
const std::bitset<kSymbolCount> kBodySymbols = BodySymbols();

bool IsBodyOrEnd(TSymbol symbol) { return symbol == symEof || kBodySymbols.test(symbol); }

std::string AttributeText(const TAttributeList& attributes, TSymbol symbol) {
  const TAttribute* attribute = attributes.Find(symbol);
  return attribute ? Utf16ToUtf8(attribute->Text) : std::string();
}

class FrameSetReader {
 public:
  FrameSetReader(const TFrameSetEvents& events, const TDocumentSource& source,
                 TFrameSetParseResult& result)
      : events_(events), source_(source), result_(result) {}

  // Runs `body` over the source; false when the file cannot be opened.
  template <typename Body>
  bool Run(Body body) {
    tok_.SetIncludeHandler(events_.OnInclude, events_.Sender);
    std::unique_ptr<File> file;
    switch (source_.Kind) {
      case ikFile:
        if (!source_.FileSystem) return false;
        file = source_.FileSystem->OpenRead(source_.FileName);
        if (!file) return false;
        tok_.SetInputFile(*file);
        break;
      case ikBuffer:
        tok_.SetInputBuffer(source_.Data, source_.Data ? source_.Size : 0);
        break;
      case ikStrings:
        if (!source_.Lines) return false;
        tok_.SetInputStrings(*source_.Lines);
        break;
      case ikStream:
        if (!source_.Stream) return false;
        tok_.SetInputStream(*source_.Stream);
        break;
      default:
        return false;
    }
    try {
      tok_.Advance();
      tok_.NextSymbol();
      body();
    } catch (const EParseError&) {
      // The input ended inside a comment: what was read stays.
    } catch (...) {
      if (source_.Kind == ikFile) {
        if (file) file->Close();
        throw;
      }
    }
    if (file) file->Close();
    return true;
  }

  void ReadDocument(TFrameSetTarget& target) {
    while (!IsBodyOrEnd(tok_.Symbol)) {
      switch (tok_.Symbol) {
        case symTitle:
          tok_.NextSymbol();
          while (tok_.Symbol == symText) {
            result_.Title += tok_.TokenText;
            tok_.NextSymbol();
          }
          continue;
        case symBase:
          if (const TAttribute* href = tok_.Attributes.Find(symHref))
            result_.Base = Utf16ToUtf8(href->Text);
          if (const TAttribute* target_attr = tok_.Attributes.Find(symTarget))
            result_.BaseTarget = Utf16ToUtf8(target_attr->Text);
          break;
        case symFrameset:
          found_ = true;
          ReadFrameSet(target, 0);
          break;
        case symNoframes:
          SkipNoFrames();
          break;
        case symScript:
          ReadScript();
          break;
        case symBgsound:
          RequestSound();
          break;
        case symMeta:
          ReportMeta();
          break;
        default:
          break;
      }
      tok_.NextSymbol();
    }
  }

  void ScanForFrameSet() {
    while (!IsBodyOrEnd(tok_.Symbol)) {
      if (tok_.Symbol == symFrameset) {
        found_ = true;
        return;
      }
      if (tok_.Symbol == symScript) {
        do {
          tok_.NextScriptSymbol();
        } while (tok_.Symbol != symScriptEnd && tok_.Symbol != symEof);
      }
      // A FRAMESET inside NOFRAMES is not read as one, so it does not count here either.
      if (tok_.Symbol == symNoframes) SkipNoFrames();
      tok_.NextSymbol();
    }
  }

  bool Found() const { return found_; }

 private:
  void ReadFrameSet(TFrameSetTarget& set, int depth) {
    set.SetFrameSetAttributes(tok_.Attributes);
    try {
      ReadFrameSetContent(set, depth);
    } catch (...) {
      // The input ended early: the set is complete with what it has.
      set.EndFrameSet(result_);
      throw;
    }
    set.EndFrameSet(result_);
  }

  void ReadFrameSetContent(TFrameSetTarget& set, int depth) {
    tok_.NextSymbol();
    while (tok_.Symbol != symFramesetEnd && tok_.Symbol != symEof) {
      switch (tok_.Symbol) {
        case symFrameset:
          if (depth + 1 < kMaxFrameSetNesting) ReadFrameSet(set.AddSubFrameSet(), depth + 1);
          break;
        case symFrame:
          set.AddFrame(tok_.Attributes, source_.FileName);
          break;
        case symNoframes:
          SkipNoFrames();
          break;
        case symScript:
          ReadScript();
          break;
        default:
          break;
      }
      tok_.NextSymbol();
    }
  }

  void SkipNoFrames() {
    while (tok_.Symbol != symNoframesEnd && tok_.Symbol != symEof) tok_.NextSymbol();
  }

  void ReadScript() {
    const std::string language = AttributeText(tok_.Attributes, symLanguage);
    std::u16string script;
    tok_.InScript = events_.OnScript != nullptr;
    try {
      tok_.NextScriptSymbol();
      while (tok_.Symbol != symScriptEnd && tok_.Symbol != symEof) {
        if (tok_.Symbol == symEol)
          script += u"\r\n";
        else
          script += tok_.TokenText;
        tok_.NextScriptSymbol();
      }
    } catch (...) {
      tok_.InScript = false;
      throw;
    }
    tok_.InScript = false;
    if (events_.OnScript) events_.OnScript(events_.Sender, language, Utf16ToUtf8(script));
  }

  void RequestSound() {
    if (!events_.OnSoundRequest) return;
    const TAttribute* src = tok_.Attributes.Find(symSrc);
    if (!src) return;
    const TAttribute* loop = tok_.Attributes.Find(symLoop);
    events_.OnSoundRequest(events_.Sender, Utf16ToUtf8(src->Text), loop ? loop->Value : 1, false);
  }

  void ReportMeta() {
    if (!events_.OnMeta) return;
    events_.OnMeta(events_.MetaSender, AttributeText(tok_.Attributes, symHttpEquiv),
                   AttributeText(tok_.Attributes, symName),
                   AttributeText(tok_.Attributes, symContent));
  }

  const TFrameSetEvents& events_;
  const TDocumentSource& source_;
  TFrameSetParseResult& result_;
  Tokenizer tok_;
  bool found_ = false;
};

}  // namespace

TDocumentSource TDocumentSource::File(Files& files, const std::string& name) {
  TDocumentSource source;
  source.Kind = ikFile;
  source.FileSystem = &files;
  source.FileName = name;
  return source;
}

TDocumentSource TDocumentSource::Buffer(const char* data, size_t size, const std::string& name) {
  TDocumentSource source;
  source.Kind = ikBuffer;
  source.Data = data;
  source.Size = size;
  source.FileName = name;
  return source;
}

TDocumentSource TDocumentSource::Strings(const std::vector<std::string>& lines,
                                         const std::string& name) {
  TDocumentSource source;
  source.Kind = ikStrings;
  source.Lines = &lines;
  source.FileName = name;
  return source;
}

TDocumentSource TDocumentSource::FromStream(TInputStream& stream, const std::string& name) {
  TDocumentSource source;
  source.Kind = ikStream;
  source.Stream = &stream;
  source.FileName = name;
  return source;
}

bool ParseFrameSetDocument(const TFrameSetEvents& events, TFrameSetTarget& target,
                           const TDocumentSource& source, TFrameSetParseResult& result) {
  result = TFrameSetParseResult();
  FrameSetReader reader(events, source, result);
  reader.Run([&] { reader.ReadDocument(target); });
  return reader.Found();
}

bool IsFrameSetDocument(const TIncludeType& on_include, void* sender,
                        const TDocumentSource& source) {
  TFrameSetEvents events;
  events.Sender = sender;
  events.OnInclude = on_include;
  TFrameSetParseResult result;
  FrameSetReader reader(events, source, result);
  reader.Run([&] { reader.ScanForFrameSet(); });
  return reader.Found();
}

}  // namespace brisomel
