#pragma once

#include "TenderOffers.h"

#include <QString>

#include <functional>

class IdentModel;
class InstanceSheets;
class Prompter;
class TdmMSSQL;
class Workbook;
struct TableRef;

// The commands of the menu "Тендер" over a table of supplier offers ("Пост.") or a
// supplier's order table ("Спец."). Result sheets are told apart by the mark in their
// service cell (2, 1).
class TenderController {
public:
    // fillActive fills the active sheet from the database without a question (the
    // table editor's filling with its tender flag set).
    TenderController(TdmMSSQL& dm, IdentModel& model, InstanceSheets& sheets, Prompter& prompter,
                     const TableRef& table, std::function<bool()> fillActive);

    // "Сводный заказ".
    bool mPredlClick();
    // "Анализ распределения".
    bool mAnalClick();
    // "Разнарядка".
    bool mRaznClick();
    // "Спецификация": one table per supplier of the consolidated order.
    bool mSpecClick();

    static QString markOf(const Workbook& book, int sheet);
    // The first instance sheet with the mark; 0 when there is none.
    int findMarked(const QString& mark) const;
    // The offers of a body row over the supplier sheets from..to, cheapest first.
    std::vector<TenderOffer> offersOf(int row, int from, int to) const;

    // Columns of the sheets.
    static constexpr int kRequested = 5;
    static constexpr int kOffered = 6;
    static constexpr int kPrice = 7;
    static constexpr int kSvodVolume = 5;
    static constexpr int kSvodPrice = 6;
    static constexpr int kSvodCost = 7;
    static constexpr int kSvodSupplier = 8;

private:
    Workbook& book() const;
    int lastBodyRow(int sheet) const;
    bool excluded(int row) const;
    void insertResultSheet(int before, const QString& mark, const QString& title);
    void caption(int sheet, int col, const QString& first, const QString& second = {});
    void boldTotal(int sheet, int row, int lastCol);
    int supplierSheet(const QString& supplier, int svod) const;
    void buildSupplierOrder(Workbook& scratch, const QString& supplier, int svod) const;
    bool createSupplierOrderTable(const QString& supplier, const Workbook& scratch);

    TdmMSSQL& m_dm;
    IdentModel& m_model;
    InstanceSheets& m_sheets;
    Prompter& m_prompter;
    const TableRef& m_table;
    std::function<bool()> m_fillActive;
};
