// rpAggregate.cpp - finding aggregate calls in text objects and accumulating their values.
#include "report/output/rpAggregate.h"

#include "report/output/rpEngineModel.h"

#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

#include <cmath>

namespace {

// Deepest nesting of parentheses, angle brackets and variables followed while scanning.
constexpr int kMaxScanDepth = 64;
// Variables may name each other in several places (V = "V V"): the expansion ends after this
// many pieces of one expression instead of growing without end.
constexpr int kMaxScanSteps = 100000;

// Bytes that separate words while scanning (digits included: a number is no call).
bool IsSeparator(unsigned char c)
{
    return (c >= 1 && c <= 33) || (c >= 35 && c <= 38) || (c >= 42 && c <= 57) || c == 61 || c == 91 ||
           (c >= 93 && c <= 94) || c == 124 || (c >= 128 && c <= 160) || (c >= 193 && c <= 197) || c >= 224;
}

// Bytes that end a word.
bool IsWordEnd(unsigned char c)
{
    switch (c) {
    case 40: case 61: case 91: case 124: case 161: case 192: case 193: case 196: case 198: case 200: case 202:
    case 204: case 206: case 208: case 210: case 211: case 214:
        return true;
    default:
        break;
    }
    return (c >= 1 && c <= 33) || (c >= 35 && c <= 38) || (c >= 42 && c <= 47) || (c >= 93 && c <= 94) ||
           (c >= 128 && c <= 160) || c >= 224;
}

// Index of the bracket that closes the one at `open` (0-based), counting nesting of the
// same pair; npos when it never closes. With `skipQuoted`, brackets inside single-quoted
// text do not count.
size_t MatchClose(const AnsiString& S, size_t open, char OpenCh, char CloseCh, bool skipQuoted = false)
{
    int depth = 0;
    bool quoted = false;
    for (size_t i = open; i < S.size(); ++i) {
        if (skipQuoted && S[i] == '\'')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (S[i] == OpenCh)
            ++depth;
        else if (S[i] == CloseCh && --depth == 0)
            return i;
    }
    return AnsiString::npos;
}

// The text between the bracket at `open` and its partner (to the end when unclosed), and
// the position after the partner.
AnsiString Inner(const AnsiString& S, size_t open, size_t close, size_t& next)
{
    if (close == AnsiString::npos) {
        next = S.size();
        return S.substr(open + 1);
    }
    next = close + 1;
    return S.substr(open + 1, close - open - 1);
}

bool IsVarTrue(const Variant& V) { return V.VType() == varBoolean && V.AsBoolean(); }

}  // namespace

std::vector<AnsiString> rpSplitAggregateArgs(const AnsiString& Text, int OpenPos)
{
    std::vector<AnsiString> args;
    AnsiString cur;
    bool quoted = false;
    int depth = 1;
    for (size_t i = static_cast<size_t>(OpenPos) + 1; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\'')
            quoted = !quoted;
        if (!quoted) {
            if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0)
                break;
            else if (c == ',' && depth == 1) {
                args.push_back(Trim(cur));
                cur.clear();
                if (args.size() == 3)
                    return args;
                continue;
            }
        }
        cur += c;
    }
    if (args.size() < 3)
        args.push_back(Trim(cur));
    return args;
}

TrpAggregateFunction rpAggregateFunction(const AnsiString& Name)
{
    const AnsiString n = UpperCase(Trim(Name));
    if (n == "SUM")
        return agSum;
    if (n == "MIN")
        return agMin;
    if (n == "MAX")
        return agMax;
    if (n == "AVG")
        return agAvg;
    return agCount;
}

bool rpAggregateHomeBand(const TrpBand* Band)
{
    const int n = rpBandNumber(Band);
    return n == 1 || n == 3 || n == 5 || n == 13 || n == 16;
}

// ---------------------------------------------------------------- TrpAggregateItem

bool TrpAggregateItem::BandVisible() const { return Band && Band->GetVisible(); }

namespace {

// Integers and floats: their sum with a Double is a Double.
bool IsBinaryNumber(const Variant& V)
{
    switch (V.VType()) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
        return true;
    default:
        return false;
    }
}

// A Double total with the rounding its additions lost added back.
Variant Compensated(const Variant& Acc, double Comp)
{
    if (Comp == 0 || Acc.VType() != varDouble)
        return Acc;
    return Variant(Acc.AsDouble() + Comp);
}

}

void TrpAggregateItem::Accumulate(Variant& Acc, double& Comp, const Variant& V, double VComp) const
{
    if (Acc.IsNull()) {
        Acc = V;
        Comp = VComp;
        return;
    }
    if (V.IsNull())
        return;
    switch (Func) {
    case agSum:
    case agAvg:
        // Neumaier's summation: the error of each addition is exact in doubles and kept
        // apart, so the total is the correctly rounded sum of the rows in all but freak cases.
        if ((Acc.VType() == varDouble || V.VType() == varDouble) && IsBinaryNumber(Acc) && IsBinaryNumber(V)) {
            const double a = Acc.AsDouble(), b = V.AsDouble(), sum = a + b;
            if (std::isfinite(sum))
                Comp += (std::fabs(a) >= std::fabs(b) ? (a - sum) + b : (b - sum) + a) + VComp;
            Acc = Variant(sum);
        } else if (Acc.VType() == varString && V.VType() == varString && Acc.AppendUnshared(*V.StrPtr())) {
            // Texts add up by joining: the total takes each row's text where it lies, so
            // a total of n rows costs their length, not its square.
            Comp += VComp;
        } else {
            Acc = Acc + V;
            Comp += VComp;
        }
        break;
    case agMin:
        if (V < Acc)
            Acc = V;
        break;
    case agMax:
        if (Acc < V)
            Acc = V;
        break;
    case agCount:
        break;
    }
}

void TrpAggregateItem::Calc()
{
    Variant v;
    if (Take(v))
        Add(v);
}

bool TrpAggregateItem::Take(Variant& V)
{
    if (!BandVisible() && !CountInvisible)
        return false;
    V = Null();
    if (Func != agCount && Report) {
        Report->CurObject = MemoName;  // expression errors name the memo
        V = Report->Calc(Expr);
        if (IsVarTrue(V))
            V = 1;
    }
    return true;
}

void TrpAggregateItem::Add(const Variant& v)
{
    if (VColumn > 0) {
        ++VCount[VColumn];
        auto [it, added] = VValue.try_emplace(VColumn, Null());
        Accumulate(it->second, VComp[VColumn], v);
    } else if (Holding) {
        ++HoldCount;
        Accumulate(HoldValue, HoldComp, v);
    } else if (Pending) {
        ++PendCount;
        Accumulate(PendValue, PendComp, v);
    } else if (Keeping) {
        ++KeepCount;
        Accumulate(KeepValue, KeepComp, v);
    } else {
        ++Count;
        Accumulate(FValue, FComp, v);
    }
}

Variant TrpAggregateItem::Value() const
{
    // Outside a vertical column (VColumn 0) the total is the whole rows'.
    if (VColumn > 0 && !VCount.empty()) {
        auto c = VCount.find(VColumn);
        const int n = c == VCount.end() ? 0 : c->second;
        if (Func == agCount)
            return n;
        auto v = VValue.find(VColumn);
        if (v == VValue.end() || n == 0)
            return Null();
        auto comp = VComp.find(VColumn);
        const Variant total = Compensated(v->second, comp == VComp.end() ? 0 : comp->second);
        if (Func == agAvg)
            return total.IsNull() ? Null() : Variant(total.AsDouble() / n);
        return total;
    }
    if (Func == agCount)
        return Count;
    if (Count == 0)
        return Null();
    const Variant total = Compensated(FValue, FComp);
    if (Func == agAvg)
        return total.IsNull() ? Null() : Variant(total.AsDouble() / Count);
    return total;
}

void TrpAggregateItem::ClearValue()
{
    Count = 0;
    FValue = Null();
    FComp = 0;
    VValue.clear();
    VComp.clear();
    VCount.clear();
}

void TrpAggregateItem::Reset()
{
    // A running total keeps accumulating across footers once it has counted a row.
    if (!DontReset || Count == 0)
        ClearValue();
}

void TrpAggregateItem::StartKeep()
{
    if (!FrameFooter() || Keeping)
        return;
    Keeping = true;
    KeepCount = 0;
    KeepValue = Null();
    KeepComp = 0;
}

void TrpAggregateItem::FlushKeep()
{
    if (!Keeping)
        return;
    Count += KeepCount;
    Accumulate(FValue, FComp, KeepValue, KeepComp);
    KeepCount = 0;
    KeepValue = Null();
    KeepComp = 0;
}

void TrpAggregateItem::EndKeep()
{
    if (!FrameFooter() || !Keeping)
        return;
    Keeping = false;
    Count += KeepCount;
    // COUNT accumulates no values, so the rule of a row serves for the kept block too.
    Accumulate(FValue, FComp, KeepValue, KeepComp);
    KeepValue = Null();
    KeepComp = 0;
}

void TrpAggregateItem::StartHold()
{
    if (!FrameFooter() || Holding)
        return;
    Holding = true;
    HoldCount = 0;
    HoldValue = Null();
    HoldComp = 0;
}

void TrpAggregateItem::EndHold()
{
    if (!Holding)
        return;
    Holding = false;
    if (Pending) {
        PendCount += HoldCount;
        Accumulate(PendValue, PendComp, HoldValue, HoldComp);
    } else if (Keeping) {
        KeepCount += HoldCount;
        Accumulate(KeepValue, KeepComp, HoldValue, HoldComp);
    } else {
        Count += HoldCount;
        Accumulate(FValue, FComp, HoldValue, HoldComp);
    }
    HoldCount = 0;
    HoldValue = Null();
    HoldComp = 0;
}

void TrpAggregateItem::StartPending()
{
    if (!FrameFooter() || Pending)
        return;
    Pending = true;
    PendCount = 0;
    PendValue = Null();
    PendComp = 0;
}

void TrpAggregateItem::EndPending()
{
    if (!Pending)
        return;
    Pending = false;
    if (Keeping) {
        KeepCount += PendCount;
        Accumulate(KeepValue, KeepComp, PendValue, PendComp);
    } else {
        Count += PendCount;
        Accumulate(FValue, FComp, PendValue, PendComp);
    }
    PendCount = 0;
    PendValue = Null();
    PendComp = 0;
}

// ---------------------------------------------------------------- TrpAggregateList

TrpAggregateList::TrpAggregateList(TrpReport* AReport) : Report(AReport)
{
    Names.Variable = [this](const AnsiString& Name, Variant& Value) {
        if (!Report)
            return false;
        TrpVariables* vars = Report->GetVariables();
        const int i = vars->IndexOf(Name);
        if (i < 0)
            return false;
        Value = vars->Items(i)->GetValue();
        return true;
    };
    Names.DataField = [this](const AnsiString& Text) {
        if (!Report)
            return false;
        TrpDataSet* ds = nullptr;
        AnsiString field;
        Report->GetWholeDatasetField(Text, ds, field);
        return ds != nullptr && !field.empty();
    };
    Names.FindBand = [this](const AnsiString& Name) -> TrpBand* {
        if (!Report || Name.empty())
            return nullptr;
        return dynamic_cast<TrpBand*>(Report->FindObject(Name));
    };
}

TrpAggregateList::~TrpAggregateList() = default;

void TrpAggregateList::Clear()
{
    FItems.clear();
    FHolds.clear();
}

TrpAggregateItem* TrpAggregateList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[static_cast<size_t>(Index)].get();
}

void TrpAggregateList::AddItems(TrpReportPage* Page, const std::vector<TrpBand*>& Horizontal,
                                const std::vector<TrpBand*>& Vertical,
                                const std::function<TBandLinks(TrpBand*)>& Links)
{
    auto memosOf = [this](TrpBand* Band, TrpBand* DataBand) {
        if (!Band)
            return;
        for (TrpComponent* c : Band->Objects())
            if (auto* memo = dynamic_cast<TrpCustomMemoView*>(c))
                FindAggregates(memo, DataBand);
    };
    std::function<void(TrpBand*, int)> walk = [&](TrpBand* B, int depth) {
        if (!B || depth > kMaxScanDepth)
            return;
        const TBandLinks links = Links(B);
        memosOf(links.Footer, B);
        for (TrpBand* f : links.GroupFooters)
            memosOf(f, B);
        for (TrpBand* d : links.Details)
            walk(d, depth + 1);
        if (links.Vertical)
            memosOf(B, B);
    };
    for (TrpBand* b : Horizontal)
        walk(b, 0);
    for (TrpBand* b : Vertical)
        walk(b, 0);
    if (!Horizontal.empty() && Page) {
        TrpBand* first = Horizontal.front();
        memosOf(rpFindPageBand(Page, TrpPageFooter::StaticClass()), first);
        memosOf(rpFindPageBand(Page, TrpColumnFooter::StaticClass()), first);
        memosOf(rpFindPageBand(Page, TrpReportSummary::StaticClass()), first);
    }
}

void TrpAggregateList::FindAggregates(TrpCustomMemoView* Memo, TrpBand* DataBand)
{
    if (!Memo || !rpMemoAllowExpressions(Memo))
        return;
    AnsiString open = "[", close = "]";
    const AnsiString delims = rpMemoExpressionDelimiters(Memo);
    const size_t comma = delims.find(',');
    if (comma != AnsiString::npos) {
        open = delims.substr(0, comma);
        close = delims.substr(comma + 1);
    }
    if (open.empty() || close.empty())
        return;
    const AnsiString text = rpMemoText(Memo);
    int i = 1;
    while (i <= static_cast<int>(text.size())) {
        const int at = PosEx(open, text, i);
        if (at == 0)
            break;
        int from = at, j = at;
        const AnsiString expr = rpGetBrackedVariable(text, open, close, from, j);
        // Only a complete bracket counts, as when the memo expands it.
        if (from == j || j < static_cast<int>(close.size()) ||
            text.compare(static_cast<size_t>(j) - close.size(), close.size(), close) != 0)
            break;
        ScanExpression(expr, Memo, DataBand);
        i = j + 1;
    }
}

void TrpAggregateList::ScanExpression(const AnsiString& S, TrpCustomMemoView* Memo, TrpBand* DataBand, int Depth)
{
    if (Depth == 0)
        FScanSteps = 0;
    if (Depth > kMaxScanDepth || S.empty() || ++FScanSteps > kMaxScanSteps)
        return;
    Variant value;
    if (Names.Variable && Names.Variable(S, value)) {
        ScanExpression(value.IsNull() ? AnsiString() : VarToStr(value), Memo, DataBand, Depth + 1);
        return;
    }
    if (Names.DataField && Names.DataField(S))
        return;
    size_t i = 0;
    while (i < S.size()) {
        const unsigned char c = static_cast<unsigned char>(S[i]);
        if (IsSeparator(c)) {
            ++i;
        } else if (c == '"' || c == '\'') {
            const size_t close = S.find(static_cast<char>(c), i + 1);
            i = close == AnsiString::npos ? S.size() : close + 1;
        } else if (c == '(' || c == '<') {
            size_t next = 0;
            const AnsiString inner =
                Inner(S, i, MatchClose(S, i, static_cast<char>(c), c == '(' ? ')' : '>', c == '('), next);
            ScanExpression(inner, Memo, DataBand, Depth + 1);
            i = next;
        } else {
            size_t e = i + 1;
            while (e < S.size() && !IsWordEnd(static_cast<unsigned char>(S[e])))
                ++e;
            const AnsiString word = S.substr(i, e - i);
            const AnsiString upper = UpperCase(word);
            if (e < S.size() && S[e] == '(' &&
                (upper == "SUM" || upper == "MIN" || upper == "MAX" || upper == "AVG" || upper == "COUNT")) {
                const size_t close = MatchClose(S, e, '(', ')', true);
                const size_t end = close == AnsiString::npos ? S.size() : close + 1;
                NewItem(S.substr(i, end - i), Memo, DataBand);
                i = end;
            } else {
                if (Names.Variable && Names.Variable(word, value))
                    ScanExpression(value.IsNull() ? AnsiString() : VarToStr(value), Memo, DataBand, Depth + 1);
                i = e;
            }
        }
    }
}

void TrpAggregateList::ParseName(const AnsiString& Text, TrpAggregateFunction& Func, AnsiString& Expr,
                                 TrpBand*& Band, bool& CountInvisible, bool& DontReset)
{
    const size_t open = Text.find('(');
    Func = rpAggregateFunction(open == AnsiString::npos ? Text : Text.substr(0, open));
    std::vector<AnsiString> args =
        open == AnsiString::npos ? std::vector<AnsiString>{} : rpSplitAggregateArgs(Text, static_cast<int>(open));
    args.resize(3);
    AnsiString bandName, flags;
    if (Func != agCount) {
        Expr = args[0];
        bandName = args[1];
        flags = args[2];
    } else {
        Expr.clear();
        bandName = args[0];
        flags = args[1];
    }
    Band = Names.FindBand ? Names.FindBand(bandName) : nullptr;
    const int f = StrToIntDef(Trim(flags), 0);
    CountInvisible = (f & 1) != 0;
    DontReset = (f & 2) != 0;
}

void TrpAggregateList::NewItem(const AnsiString& CallText, TrpCustomMemoView* Memo, TrpBand* DataBand)
{
    auto item = std::make_unique<TrpAggregateItem>();
    ParseName(CallText, item->Func, item->Expr, item->Band, item->CountInvisible, item->DontReset);
    if (!item->Band)
        item->Band = DataBand;
    item->Report = Report;
    item->ParentBand = Memo ? dynamic_cast<TrpBand*>(Memo->Parent()) : nullptr;
    if (item->ParentBand && rpBandVertical(item->ParentBand) && HomeBand) {
        TrpBand* home = HomeBand(Memo);
        if (home) {
            // A column footer's cells over vertical bands total per column as well.
            if (rpAggregateHomeBand(home))
                item->ParentBand = home;
        }
    }
    item->IsPageFooter = dynamic_cast<TrpPageFooter*>(item->ParentBand) != nullptr;
    item->InFrame = item->IsPageFooter || dynamic_cast<TrpColumnFooter*>(item->ParentBand) != nullptr;
    item->AggregateText = Trim(CallText);
    item->MemoName = Memo ? Memo->Name() : AnsiString();
    item->Reset();
    FItems.push_back(std::move(item));
}

void TrpAggregateList::AddValue(TrpBand* Band, int VColumn)
{
    THold* hold = nullptr;
    if (VColumn > 0)
        for (auto it = FHolds.rbegin(); it != FHolds.rend() && !hold; ++it)
            if (it->Band == Band)
                hold = &*it;
    for (auto& item : FItems)
        if (item->Band == Band) {
            item->VColumn = VColumn;
            if (!hold) {
                item->Calc();
                continue;
            }
            Variant v;
            if (item->Take(v))
                hold->Values.push_back({item.get(), VColumn, v});
        }
}

void TrpAggregateList::Hold(TrpBand* Band) { FHolds.push_back({Band, {}}); }

std::vector<TrpHeldValue>* TrpAggregateList::Held() { return FHolds.empty() ? nullptr : &FHolds.back().Values; }

void TrpAggregateList::Commit()
{
    if (FHolds.empty())
        return;
    const std::vector<TrpHeldValue> values = std::move(FHolds.back().Values);
    FHolds.pop_back();
    for (const TrpHeldValue& h : values) {
        h.Item->VColumn = h.VColumn;
        h.Item->Add(h.Value);
    }
}

void TrpAggregateList::Discard()
{
    if (!FHolds.empty())
        FHolds.pop_back();
}

Variant TrpAggregateList::GetValue(TrpBand* ParentBand, int VColumn, const AnsiString& FuncName,
                                   const AnsiString& Expr, TrpBand* Band, int Flags)
{
    const TrpAggregateFunction func = rpAggregateFunction(FuncName);
    const AnsiString expr = Trim(Expr);
    for (auto& item : FItems) {
        if (item->ParentBand != ParentBand || item->Func != func || AnsiCompareText(item->Expr, expr) != 0)
            continue;
        if (Band && item->Band != Band)
            continue;
        if (item->CountInvisible != ((Flags & 1) != 0) || item->DontReset != ((Flags & 2) != 0))
            continue;
        item->VColumn = VColumn;
        return item->Value();
    }
    return Null();
}

Variant TrpAggregateList::GetValue(TrpBand* ParentBand, const AnsiString& Text, int VColumn)
{
    const AnsiString text = Trim(Text);
    for (auto& item : FItems)
        if (item->ParentBand == ParentBand && AnsiCompareText(item->AggregateText, text) == 0) {
            item->VColumn = VColumn;
            return item->Value();
        }
    return Null();
}

void TrpAggregateList::Reset(TrpBand* ParentBand)
{
    for (auto& item : FItems)
        if (item->ParentBand == ParentBand)
            item->Reset();
}

void TrpAggregateList::StartKeep()
{
    for (auto& item : FItems)
        item->StartKeep();
}

void TrpAggregateList::EndKeep()
{
    for (auto& item : FItems)
        item->EndKeep();
}

void TrpAggregateList::ClearValues()
{
    for (auto& item : FItems) {
        item->ClearValue();
        item->Pending = false;
        item->PendCount = 0;
        item->PendValue = Null();
        item->PendComp = 0;
        item->Holding = false;
        item->HoldCount = 0;
        item->HoldValue = Null();
        item->HoldComp = 0;
    }
}

void TrpAggregateList::FlushKeep(TrpBand* ParentBand)
{
    for (auto& item : FItems)
        if (item->ParentBand == ParentBand)
            item->FlushKeep();
}

void TrpAggregateList::StartPending()
{
    for (auto& item : FItems)
        item->StartPending();
}

void TrpAggregateList::EndPending()
{
    for (auto& item : FItems)
        item->EndPending();
}

void TrpAggregateList::StartHold()
{
    for (auto& item : FItems)
        item->StartHold();
}

void TrpAggregateList::EndHold()
{
    for (auto& item : FItems)
        item->EndHold();
}
