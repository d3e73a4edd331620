// Lists and block quotes, preformatted text, and plain text files.
#include "html/reader/parser.h"

namespace brisomel {
namespace {

bool IsListEnd(TSymbol symbol) {
  switch (symbol) {
    case symOlEnd:
    case symUlEnd:
    case symDirEnd:
    case symMenuEnd:
    case symDlEnd:
    case symBlockquoteEnd:
      return true;
    default:
      return false;
  }
}

bool IsCommonInList(TSymbol symbol) {
  switch (symbol) {
    case symP:
    case symPEnd:
    case symB:
    case symBEnd:
    case symI:
    case symIEnd:
    case symEm:
    case symEmEnd:
    case symStrong:
    case symStrongEnd:
    case symU:
    case symUEnd:
    case symCite:
    case symCiteEnd:
    case symVar:
    case symVarEnd:
    case symS:
    case symSEnd:
    case symStrike:
    case symStrikeEnd:
    case symSub:
    case symSubEnd:
    case symSup:
    case symSupEnd:
    case symBr:
    case symHeading:
    case symHeadingEnd:
    case symTt:
    case symTtEnd:
    case symCode:
    case symCodeEnd:
    case symKbd:
    case symKbdEnd:
    case symSamp:
    case symSampEnd:
    case symAddress:
    case symAddressEnd:
    case symPre:
    case symImg:
    case symA:
    case symAEnd:
    case symText:
    case symFont:
    case symFontEnd:
    case symBasefont:
    case symBig:
    case symBigEnd:
    case symSmall:
    case symSmallEnd:
    case symMap:
    case symPage:
    case symScript:
      return true;
    default:
      return false;
  }
}

}  // namespace

// OL, UL, DIR, MENU, DL and BLOCKQUOTE. Any list end tag ends any list; the caller reads past
// it. Items start at `level`; DT items one level out.
void THtmlParser::ParseList(int level, TSymbol list, const TSymbolSet& terminators) {
  char numbering = '1';
  int32_t number = 1;
  bool plain = false;
  if (list == symOl) {
    if (const TAttribute* start = tok_.Attributes.Find(symStart); start && start->Value >= 0)
      number = start->Value;
    if (const TAttribute* type = tok_.Attributes.Find(symType);
        type && !type->Text.empty() && type->Text[0] < 0x80)
      numbering = static_cast<char>(type->Text[0]);
  } else if (list == symUl) {
    plain = tok_.Attributes.Find(symPlain) != nullptr;
  }
  CloseSection();
  tok_.NextSymbol();
  if (IsListEnd(tok_.Symbol)) return;

  ++depth_;
  int item_level = level;
  do {
    const TSymbol symbol = tok_.Symbol;
    if (IsCommonInList(symbol)) {
      ParseCommon(item_level);
      continue;
    }
    switch (symbol) {
      case symHr:
        CloseSection();
        document_.AppendRule(tok_.Attributes);
        tok_.NextSymbol();
        break;
      case symOl:
      case symUl:
      case symDir:
      case symMenu:
      case symDl:
        if (CanNest()) ParseList(level + 1, symbol, terminators);
        tok_.NextSymbol();
        break;
      case symLi:
        CloseSection();
        if (list == symOl) {
          section_ = document_.NewListItem(TListKind::Ordered, level, Link(), TopFont(), numbering,
                                           number, false);
          if (number < INT32_MAX) ++number;
        } else {
          section_ =
              document_.NewListItem(TListKind::Unordered, level, Link(), TopFont(), 0, 0, plain);
        }
        State.SubSupState = 0;
        tok_.SkipBlanks();
        tok_.NextSymbol();
        if (tok_.Symbol == symP) tok_.NextSymbol();
        item_level = level;
        break;
      case symDd:
      case symDt: {
        CloseSection();
        const int item = symbol == symDd ? level : level - 1;
        section_ =
            document_.NewListItem(TListKind::Definition, item, Link(), TopFont(), 0, 0, false);
        State.SubSupState = 0;
        tok_.NextSymbol();
        item_level = item;
        break;
      }
      case symBlockquote:
        if (CanNest()) {
          CloseSection();
          ParseList(level + 1, symBlockquote, terminators);
        }
        tok_.NextSymbol();
        break;
      case symCenter:
      case symDiv: {
        // Inside a list these blocks change no alignment. Their content is read up to their
        // own end tag (or a list end), so that the list's items after the block stay items.
        tok_.NextSymbol();
        if (!CanNest()) break;
        TSymbolSet inner = terminators;
        for (TSymbol end : {symOlEnd, symUlEnd, symDirEnd, symMenuEnd, symDlEnd, symBlockquoteEnd,
                            symEof, symCenterEnd, symDivEnd})
          inner.set(end);
        ++depth_;
        ParseBody(item_level, inner);
        --depth_;
        if (tok_.Symbol == symCenterEnd || tok_.Symbol == symDivEnd) tok_.NextSymbol();
        break;
      }
      case symTable:
        ParseTable(item_level);
        break;
      default:
        if (terminators[symbol]) {
          --depth_;
          return;  // the open section stays open
        }
        tok_.NextSymbol();
        break;
    }
  } while (!IsListEnd(tok_.Symbol) && tok_.Symbol != symEof);
  --depth_;
  CloseSection();
}

// PRE reads characters, not text symbols, so that blanks and line ends stay. Every source line
// becomes its own preformatted section.
void THtmlParser::ParsePre(int level) {
  CloseSection();
  if (PushFont()) SetFixedPitch(TopFont());
  NewSection(level, paLeft, true);
  std::u16string pending;
  tok_.InPre = true;

  auto flush = [&] {
    if (!pending.empty() && section_) section_->AddText(pending);
    pending.clear();
  };
  auto new_line = [&] {
    flush();
    CloseSection();
    NewSection(level, paLeft, true);
  };

  bool done = false;
  while (!done) {
    const char16_t c = tok_.Ch;
    if (c == '\r') {
      new_line();
      tok_.Advance();
    } else if (c == Tokenizer::kEofChar) {
      done = true;
    } else if (c == '&') {
      tok_.NextSymbol();
      pending += tok_.TokenText;
    } else if (c != '<') {
      pending.push_back(c);
      if (pending.size() > kPendingText && !IsHighSurrogate(c)) flush();
      tok_.Advance();
    } else {
      tok_.NextSymbol();
      const TSymbol symbol = tok_.Symbol;
      switch (symbol) {
        case symP:
        case symBr:
          new_line();
          if (tok_.Ch == '\r') tok_.Advance();
          break;
        case symB:
        case symBEnd:
        case symI:
        case symIEnd:
        case symEm:
        case symEmEnd:
        case symStrong:
        case symStrongEnd:
        case symU:
        case symUEnd:
        case symCite:
        case symCiteEnd:
        case symVar:
        case symVarEnd:
        case symS:
        case symSEnd:
        case symStrike:
        case symStrikeEnd:
          flush();
          ChangeStyle(symbol);
          FontChanged();
          break;
        case symPreEnd:
        case symTdEnd:
        case symThEnd:
          done = true;
          break;
        case symImg:
          flush();
          EnsureSection(level);
          section_->AddImage(tok_.Attributes);
          break;
        case symA:
          flush();
          for (const auto& attribute : tok_.Attributes) {
            if (attribute->Symbol == symHref) {
              StartLink(*attribute);
            } else if (attribute->Symbol == symName) {
              EnsureSection(level);
              document_.AddName(UpperCase(attribute->Text), *section_);
            }
          }
          break;
        case symAEnd:
          flush();
          EndLink();
          break;
        case symFont:
        case symBasefont:
          flush();
          if (ParseFontAttributes(symbol, true)) FontChanged();
          break;
        case symFontEnd:
          PopFont();
          flush();
          FontChanged();
          break;
        case symInput:
        case symSelect:
        case symTextarea:
          flush();
          ParseFormElement(level);
          break;
        case symForm:
        case symFormEnd:
          ParseFormElement(level);
          break;
        case symMap:
          ParseMap();
          break;
        case symPage:
          flush();
          CloseSection();
          document_.AppendPage();
          NewSection(level, paLeft, true);
          break;
        case symScript:
          ParseScript();
          break;
        case symText:
          // A "<" that starts no tag stays as text.
          pending += tok_.TokenText;
          break;
        default:
          break;  // other tags are ignored
      }
    }
  }
  flush();
  CloseSection();
  tok_.InPre = false;
  PopFont();
  tok_.NextSymbol();
}

void THtmlParser::ReadPlainText() {
  CloseSection();
  if (PushFont()) SetFixedPitch(TopFont());
  NewSection(0, paLeft, true);
  tok_.InPre = true;
  std::u16string pending;
  auto flush = [&] {
    if (!pending.empty()) section_->AddText(pending);
    pending.clear();
  };
  while (tok_.Ch != Tokenizer::kEofChar) {
    if (tok_.Ch == '\r') {
      flush();
      CloseSection();
      NewSection(0, paLeft, true);
    } else {
      pending.push_back(tok_.Ch);
      if (pending.size() > kPendingText && !IsHighSurrogate(tok_.Ch)) flush();
    }
    tok_.Advance();
  }
  flush();
  CloseSection();
  tok_.InPre = false;
  PopFont();
}

}  // namespace brisomel
