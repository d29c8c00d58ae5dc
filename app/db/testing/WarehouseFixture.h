// WarehouseFixture.h - a fresh warehouse for a test: the built template copied into a temporary
// folder, with helpers to seed rows and to compare the whole file before and after an operation.
//
//     TWarehouseFixture w;                               // new folder, copy of New/New.kvb
//     const int g = w.AddGroup("Крепёж", w.RootGroupId());
//     const int p = w.AddProduct({.Name = "Болт", .Group = "Крепёж", .Quantity = 10, .Price = 2.5});
//     const std::string before = w.Snapshot();
//     ... run the operation through w.Connection() ...
//     EXPECT_EQ(w.Snapshot(), before);
//
// Seeding writes through its own short-lived SQLite connection with bound values, so it never
// depends on the layer under test. The folder and everything in it go when the fixture does.
// Texts are CP1251 like everywhere else in the program.
#pragma once

#include "platform/db/ADODB.h"
#include "platform/rtl/Variant.h"

#include <initializer_list>
#include <memory>
#include <string>

struct TProductSeed {
    AnsiString Article;
    AnsiString Name;
    AnsiString Brand;
    AnsiString Colour;
    AnsiString Sizes;
    AnsiString Unit = "шт";
    AnsiString Supplier;
    double Price = 0;
    double Minimum = 0;
    double Maximum = 0;
    AnsiString Group = "Склад";
    double Quantity = 0;
};

class TWarehouseFixture {
public:
    // The template the build made (SKLAD_TEMPLATE_DB).
    static AnsiString TemplatePath();

    TWarehouseFixture();
    explicit TWarehouseFixture(const AnsiString& sourceFile);  // a copy of another warehouse file
    ~TWarehouseFixture();
    TWarehouseFixture(const TWarehouseFixture&) = delete;
    TWarehouseFixture& operator=(const TWarehouseFixture&) = delete;

    const AnsiString& Dir() const { return FDir; }    // with a trailing '/'
    const AnsiString& Path() const { return FPath; }  // the warehouse file

    // The connection string the program builds for this file.
    AnsiString ConnectionString() const;
    // A connection opened on the file (made on first use, owned by the fixture).
    TADOConnection& Connection();

    // Runs one statement with bound values (:name placeholders are taken in order of
    // appearance); returns the last inserted id.
    int64_t Exec(const AnsiString& sql, std::initializer_list<Variant> values = {});
    // One value of the first row of a select (Null when there is no row).
    Variant Scalar(const AnsiString& sql, std::initializer_list<Variant> values = {});

    int RootGroupId();
    int AddGroup(const AnsiString& name, int parentId);
    int AddProduct(const TProductSeed& p);
    void AddSupplier(const AnsiString& name);
    void SetPassword(const AnsiString& password);

    // Every table's rows in a fixed order with their types, as text: equal snapshots mean
    // equal warehouse contents.
    std::string Snapshot();

private:
    AnsiString FDir;
    AnsiString FPath;
    std::unique_ptr<TADOConnection> FConnection;
};
