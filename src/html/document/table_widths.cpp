// Column widths of a table: each column's minimum and maximum from its cells (spanning cells
// widen the columns they span), percentages of cells and of the table, and the spreading of
// the available width over the columns.
#include <algorithm>
#include <numeric>

#include "html/document/section_list.h"
#include "html/document/table.h"

namespace brisomel {
namespace {

// No column measures more than this, so sums over all columns stay within the document's
// coordinate range.
constexpr int32_t kMaxColumnWidth = kMaxDocumentY / 32;

int32_t Clamp(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, 0, kMaxColumnWidth));
}

// Adds `extra` to `values[first, last)` in proportion to their present values; evenly (the
// remainder to the last) when they sum to 0.
void Widen(std::array<int32_t, ThtmlTable::kMaxCols + 1>& values, int first, int last,
           int32_t extra) {
  if (last <= first || extra <= 0) return;
  int64_t sum = 0;
  for (int x = first; x < last; ++x) sum += values[x];
  if (sum > 0) {
    // The rounding remainder goes to the last column, so the columns reach the cell's width.
    int64_t given = 0;
    for (int x = first; x < last; ++x) {
      const int64_t add = static_cast<int64_t>(values[x]) * extra / sum;
      values[x] = Clamp(values[x] + add);
      given += add;
    }
    values[last - 1] = Clamp(values[last - 1] + (extra - given));
  } else {
    const int n = last - first;
    for (int x = first; x < last; ++x) values[x] = Clamp(values[x] + extra / n);
    values[last - 1] = Clamp(values[last - 1] + extra % n);
  }
}

}  // namespace

bool ThtmlTable::RecallMeasure(int32_t key, TColumnMeasure& m) {
  const TSectionList* list = ParentSectionList;
  if (!list || !list->InLayout) return false;
  for (const TKeptMeasure& kept : kept_) {
    if (kept.generation == list->LayoutGeneration && kept.key == key) {
      m = kept.measure;
      Percents = kept.percents;
      return true;
    }
  }
  return false;
}

void ThtmlTable::KeepMeasure(int32_t key, const TColumnMeasure& m) {
  const TSectionList* list = ParentSectionList;
  if (!list || !list->InLayout) return;
  TKeptMeasure& kept = kept_[next_kept_++ % kept_.size()];
  kept.generation = list->LayoutGeneration;
  kept.key = key;
  kept.measure = m;
  kept.percents = Percents;
}

void ThtmlTable::CellMinMax(Canvas& canvas, TCellObj& cell, int32_t& Mn, int32_t& Mx) {
  int32_t mn = 0, mx = 0;
  cell.Cell->MeasureWidths(canvas, mn, mx);
  Mn = Clamp(static_cast<int64_t>(mn) + CellExtra());
  Mx = Clamp(static_cast<int64_t>(mx) + CellExtra());
  if (cell.ColSpan == 1 && cell.WidthAttr > 0 && !cell.AsPercent) {
    const int32_t w = Clamp(static_cast<int64_t>(cell.WidthAttr) + CellExtra());
    Mn = std::max(Mn, w);
    Mx = std::max(Mn, w);
  }
}

void ThtmlTable::ColumnMinMax(Canvas& canvas, TColumnMeasure& m) {
  if (RecallMeasure(-1, m)) return;
  m = TColumnMeasure();
  for (int32_t span : Spans(false)) {
    for (auto& row : Rows) {
      for (size_t i = 0; i < row->Cells.size(); ++i) {
        TCellObj& c = row->Cells[i];
        if (!c.Cell || c.ColSpan != span) continue;
        int32_t Mn, Mx;
        CellMinMax(canvas, c, Mn, Mx);
        const int first = static_cast<int>(i);
        if (span == 1) {
          m.Min[first] = std::max(m.Min[first], Mn);
          m.Max[first] = std::max(m.Max[first], Mx);
          continue;
        }
        const int last = std::min(first + span, static_cast<int>(NumCols));
        const int64_t min_sum = std::accumulate(&m.Min[first], &m.Min[last], int64_t{0});
        if (min_sum < Mn) Widen(m.Min, first, last, Mn - static_cast<int32_t>(min_sum));
        const int64_t max_sum = std::accumulate(&m.Max[first], &m.Max[last], int64_t{0});
        if (max_sum < Mx) Widen(m.Max, first, last, Mx - static_cast<int32_t>(max_sum));
      }
    }
  }
  for (int i = 0; i < NumCols; ++i) {
    m.TotalMin += m.Min[i];
    m.TotalMax += m.Max[i];
  }
  KeepMeasure(-1, m);
}

void ThtmlTable::PercentMinMax(Canvas& canvas, int32_t TheWidth, TColumnMeasure& m) {
  // Only cells with a pixel width depend on the table's width.
  const int32_t key = HasAbsoluteCellWidth ? std::max(TheWidth, 0) : 0;
  if (RecallMeasure(key, m)) return;
  m = TColumnMeasure();
  Percents.fill(0);
  for (int32_t span : Spans(false)) {
    for (auto& row : Rows) {
      for (size_t i = 0; i < row->Cells.size(); ++i) {
        TCellObj& c = row->Cells[i];
        if (!c.Cell || c.ColSpan != span) continue;
        int32_t Mn, Mx;
        CellMinMax(canvas, c, Mn, Mx);
        int32_t share = 0;
        if (c.AsPercent) {
          share = c.WidthAttr;
        } else if (c.WidthAttr > 0 && TheWidth > 0) {
          share = std::min(1000, MulDiv(c.WidthAttr, 1000, TheWidth));
        }
        const int first = static_cast<int>(i);
        if (span == 1) {
          m.Min[first] = std::max(m.Min[first], Mn);
          m.Max[first] = std::max(m.Max[first], Mx);
          Percents[first] = std::max(Percents[first], share);
          continue;
        }
        const int last = std::min(first + span, static_cast<int>(NumCols));
        if (last <= first) continue;
        int64_t PS = 0, min_sum = 0, max_sum = 0, free_max = 0;
        int Z = 0;
        bool had_percent[kMaxCols + 1] = {};
        for (int x = first; x < last; ++x) {
          PS += Percents[x];
          min_sum += m.Min[x];
          max_sum += m.Max[x];
          had_percent[x] = Percents[x] > 0;
          if (!had_percent[x]) {
            ++Z;
            free_max += m.Max[x];
          }
        }
        const int64_t EMin = Mn - min_sum, EMax = Mx - max_sum;
        if (share > 0 || PS > 0) {
          if (Z == 0 && PS < share) {
            for (int x = first; x < last; ++x)
              Percents[x] = MulDiv(Percents[x], share, static_cast<int32_t>(PS));
          } else if (Z > 0) {
            const int64_t T = std::max<int64_t>(0, (share - PS) / Z);
            if (T > 0) {
              for (int x = first; x < last; ++x)
                if (!had_percent[x]) Percents[x] = static_cast<int32_t>(T);
            }
          }
          const int32_t D = static_cast<int32_t>(std::max<int64_t>(PS, share));
          if (EMin > 0) {
            for (int x = first; x < last; ++x) {
              if (Z == 0) {
                m.Min[x] = std::max(Clamp(MulDiv(Mn, Percents[x], D)), m.Min[x]);
              } else if (!had_percent[x]) {
                const int64_t add = free_max > 0 ? EMin * m.Max[x] / free_max : EMin / Z;
                m.Min[x] = Clamp(m.Min[x] + add);
              }
            }
          }
          if (EMax > 0) {
            for (int x = first; x < last; ++x) {
              if (Z == 0) {
                m.Max[x] = std::max(Clamp(MulDiv(Mx, Percents[x], D)), m.Max[x]);
              } else if (!had_percent[x]) {
                m.Max[x] = Clamp(m.Max[x] + EMax / Z);
              }
            }
            // The remainder of the even split goes to the last column without a percentage.
            for (int x = last - 1; Z > 0 && x >= first; --x) {
              if (!had_percent[x]) {
                m.Max[x] = Clamp(m.Max[x] + EMax % Z);
                break;
              }
            }
          }
        } else {
          if (EMin > 0) Widen(m.Min, first, last, static_cast<int32_t>(EMin));
          if (EMax > 0) Widen(m.Max, first, last, static_cast<int32_t>(EMax));
        }
      }
    }
  }
  for (int i = 0; i < NumCols; ++i) {
    m.Max[i] = std::max(m.Max[i], m.Min[i]);
    m.TotalMin += m.Min[i];
    m.TotalMax += m.Max[i];
  }
  KeepMeasure(key, m);
}

// Min[i] plus a share of the room above the minimum in proportion to Max[i] - Min[i].
void ThtmlTable::SpreadWidths(int32_t NewWidth, const TColumnMeasure& m) {
  if (NewWidth < m.TotalMax && m.TotalMax != m.TotalMin) {
    for (int i = 0; i < NumCols; ++i)
      Widths[i] =
          m.Min[i] + MulDiv(m.Max[i] - m.Min[i], NewWidth - m.TotalMin, m.TotalMax - m.TotalMin);
  } else {
    for (int i = 0; i < NumCols; ++i) Widths[i] = m.Max[i];
  }
}

void ThtmlTable::SetWidths(int32_t NewWidth, const TColumnMeasure& m) {
  if (m.TotalMin >= NewWidth) {
    for (int i = 0; i < NumCols; ++i) Widths[i] = m.Min[i];
  } else if (NewWidth >= m.TotalMax && WidthAttr == 0) {
    for (int i = 0; i < NumCols; ++i) Widths[i] = m.Max[i];
  } else if (m.TotalMax != m.TotalMin) {
    for (int i = 0; i < NumCols; ++i)
      Widths[i] =
          m.Min[i] + MulDiv(m.Max[i] - m.Min[i], NewWidth - m.TotalMin, m.TotalMax - m.TotalMin);
  } else {
    for (int i = 0; i < NumCols; ++i)
      Widths[i] = m.Min[i] + (m.TotalMin > 0 ? MulDiv(m.Min[i], NewWidth - m.TotalMin, m.TotalMin)
                                             : (NewWidth - m.TotalMin) / std::max(NumCols, 1));
  }
}

void ThtmlTable::AssignPercentWidths(int32_t Width, const TColumnMeasure& m) {
  bool fixed[kMaxCols + 1] = {};
  int64_t room = 0, sum = 0;
  int free_columns = 0;
  for (int i = 0; i < NumCols; ++i) {
    if (Percents[i] == 0) {
      Widths[i] = m.Min[i];
      room += m.Max[i] - m.Min[i];
      ++free_columns;
    } else {
      const int32_t share = MulDiv(Width, Percents[i], 1000);
      if (share > m.Min[i]) {
        Widths[i] = share;
      } else {
        Widths[i] = m.Min[i];
        fixed[i] = true;
      }
    }
    sum += Widths[i];
  }
  auto unfixed_percents = [&] {
    int64_t total = 0;
    for (int i = 0; i < NumCols; ++i)
      if (Percents[i] > 0 && !fixed[i]) total += Percents[i];
    return total;
  };
  auto total = [&] {
    int64_t t = 0;
    for (int i = 0; i < NumCols; ++i) t += Widths[i];
    return t;
  };
  if (sum < Width) {
    const int64_t short_by = Width - sum;
    if (free_columns == 0) {
      const int64_t pt = unfixed_percents();
      for (int i = 0; i < NumCols && pt > 0; ++i)
        if (!fixed[i]) Widths[i] += static_cast<int32_t>(short_by * Percents[i] / pt);
    } else if (room <= 0) {
      for (int i = 0; i < NumCols; ++i)
        if (Percents[i] == 0) Widths[i] += static_cast<int32_t>(short_by / free_columns);
    } else {
      for (int i = 0; i < NumCols; ++i)
        if (Percents[i] == 0)
          Widths[i] += static_cast<int32_t>(short_by * (m.Max[i] - m.Min[i]) / room);
    }
  } else if (sum > Width) {
    for (int round = 0; round < 4; ++round) {
      int64_t excess = total() - Width;
      const int64_t pt = unfixed_percents();
      if (excess <= 0 || pt <= 0) break;
      bool changed = false;
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] == 0 || fixed[i]) continue;
        if (Widths[i] - excess * Percents[i] / pt < m.Min[i]) {
          Widths[i] = m.Min[i];
          fixed[i] = true;
          changed = true;
        }
      }
      if (!changed) break;
    }
    const int64_t excess = total() - Width;
    const int64_t pt = unfixed_percents();
    for (int i = 0; i < NumCols && excess > 0 && pt > 0; ++i)
      if (Percents[i] > 0 && !fixed[i])
        Widths[i] -= static_cast<int32_t>(excess * Percents[i] / pt);
  }
  const int64_t diff = Width - total();
  if (NumCols > 0 && diff > 0) {
    Widths[0] += static_cast<int32_t>(diff);
  } else if (diff < 0) {
    for (int i = 0; i < NumCols; ++i) {
      if (!fixed[i]) {
        Widths[i] = std::max<int32_t>(0, Widths[i] + static_cast<int32_t>(diff));
        break;
      }
    }
  }
}

void ThtmlTable::ColumnWidths(Canvas& canvas, int32_t NewWidth) {
  Widths.fill(0);
  TColumnMeasure m;
  if (!UsesPercents()) {
    ColumnMinMax(canvas, m);
    SetWidths(NewWidth, m);
    return;
  }
  PercentMinMax(canvas, NewWidth, m);
  if (m.TotalMin >= NewWidth) {
    for (int i = 0; i < NumCols; ++i) Widths[i] = m.Min[i];
    return;
  }
  if (WidthAttr > 0) {
    AssignPercentWidths(NewWidth, m);
    return;
  }
  int32_t PT = 0;
  for (int i = 0; i < NumCols; ++i) PT += Percents[i];
  if (PT > 0 && PT <= 1000) {
    int32_t N = 0;
    int64_t M = 0;
    for (int i = 0; i < NumCols; ++i) {
      if (Percents[i] > 0) {
        N = std::max(N, MulDiv(m.Max[i], 1000, Percents[i]));
      } else {
        M += m.Max[i];
      }
    }
    const int32_t M32 = static_cast<int32_t>(std::min<int64_t>(M, kMaxDocumentY));
    const int32_t D = PT > 999 ? (M32 >= 1 ? 30000 : 0) : MulDiv(M32, 1000, 1000 - PT);
    const int32_t Need = std::max(N, D);
    if (NewWidth >= Need) {
      const int32_t rest = MulDiv(Need, 1000 - PT, 1000);
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] > 0) {
          Widths[i] = MulDiv(Need, Percents[i], 1000);
        } else {
          Widths[i] = M32 < 1 ? 0 : MulDiv(m.Max[i], rest, M32);
        }
      }
      return;
    }
    // Too narrow for every share: shares below their column's minimum are dropped, the others
    // scaled into the room the other columns leave.
    for (int round = 0; round < 64; ++round) {
      bool kept = false;
      int64_t shares = 0, free_min = 0;
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] > 0 && MulDiv(NewWidth, Percents[i], 1000) - 1 < m.Min[i]) Percents[i] = 0;
        if (Percents[i] > 0) {
          kept = true;
          shares += MulDiv(NewWidth, Percents[i], 1000);
        } else {
          free_min += m.Min[i];
        }
      }
      if (!kept) break;
      if (NewWidth < free_min + shares && round < 63) {
        const int64_t room = std::max<int64_t>(0, NewWidth - free_min);
        for (int i = 0; i < NumCols; ++i)
          if (Percents[i] > 0) Percents[i] = static_cast<int32_t>(Percents[i] * room / shares);
        continue;
      }
      m.TotalMin = m.TotalMax = 0;
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] > 0) m.Min[i] = m.Max[i] = MulDiv(NewWidth, Percents[i], 1000);
        m.TotalMin += m.Min[i];
        m.TotalMax += m.Max[i];
      }
      break;
    }
  }
  SpreadWidths(NewWidth, m);
}

}  // namespace brisomel
