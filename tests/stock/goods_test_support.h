#pragma once
// A program directory with a fresh database, the skin attached to a stand-in main window (so
// that skinned boxes reach the scripted dialogs), and fake list fills that log their calls.

#include <QStringList>
#include <QWidget>
#include <memory>

#include "stock/goods_row.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

class GoodsFixture : public ProgramFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Appends record to buy and returns its new ID.
    QString AddGoods(const GoodsRow& record);
    GoodsRow Stored(const QString& id);
    int GoodsCount();

    // Types text into the edit box or combo box named name, as a user would, after emptying it.
    void Type(QWidget* window, const char* name, const QString& text);
    void Click(QWidget* window, const char* name);
    QString TextOf(QWidget* window, const char* name);

    // Skinned boxes shown so far.
    QList<ShownBox> SkinBoxes() const;
    QStringList SkinTexts() const;

    std::unique_ptr<QWidget> owner_;
    QStringList refreshed_;  // "Stock", "Sales", ... "PickLists", in call order
};
