// DocumentFixture.h - the program on a fresh warehouse with helpers to seed documents and lines.
//
// Lines are put into the scratch tables directly, as the goods card would write them, so the
// document tests do not depend on the card. Documents are seeded with bound values through the
// warehouse fixture's own connection.
#pragma once

#include "app/shell/tests/ShellFixture.h"

#include "platform/db/DbFaults.h"

class DocumentTest : public ShellTest {
protected:
    // A line of TempStructureDocuments describing product `p` (as seeded), with this quantity;
    // the sums are quantity × price.
    void AddLine(const TProductSeed& p, double quantity, const AnsiString& supplier = "");
    int64_t AddRequest(TDateTime created, TDateTime due, const AnsiString& state, int archived = 0,
                       const AnsiString& recipient = "Получатель");
    void AddRequestLine(int64_t request, int64_t product, double quantity, double issued, double sum = 0);
    int64_t AddReceipt(TDateTime created, int archived = 0, const AnsiString& number = "1");
    int64_t AddIssue(TDateTime created, int archived = 0);
    int64_t AddAct(TDateTime created, int archived = 0, const AnsiString& reason = "Брак");
    void AddLineOf(const char* table, int64_t document, int64_t product, double quantity, int archived = 0);
    // The journal opened from the main window ("Работа с док."), with `script` run inside it.
    void InJournal(const std::function<void()>& script);

    // Fails statements 1, 2, 3 ... of `attempt` until the warehouse changes (the operation
    // landed); after every failure before that the warehouse must be exactly as before and the
    // user told why: the last message starts with `told`.
    void EveryStepFails(const std::function<void()>& attempt, const AnsiString& told);
};

TDateTime Day(int year, int month, int day, int hour = 0, int minute = 0);
