#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QString>

class Command;
class DrawObject;
class QShortcut;
class QPrinter; // output
class DialogTextDetail;

namespace Ui {
class MainWindow;
}

// Pointer modes of the edit areas.
enum PointerMode {
    POINTER_IDLE = 0,
};

// The one window: owns the document (four edit-area object lists), the
// selection, undo/redo and the clipboard, and wires the widgets to them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Ui::MainWindow* ui;

    // Document and editing state.
    QList<QList<DrawObject*>*> mListArea;
    QList<DrawObject*> mListSelected;
    QList<DrawObject*> mListClipboard;
    QList<Command*> mListUndo;
    QList<Command*> mListRedo;
    bool mNewObjHint = true;
    int mLastX = 0;
    int mLastY = 0;
    int mPressX = 0;
    int mPressY = 0;
    double mZoom = 1.0;
    int mPointerMode = POINTER_IDLE;
    bool mNewUndoStep = true;

    void init();
    void displayMessage(QString text, QString color, QString bgColor);

    // Edit areas and formation.
    void setPageFormation(QString paperSize, int pageMax, QString orientation, QString direction);
    void setEditAreaSize(QString sizeName, int pageMax, QString orientation);
    int getCurrentArea();
    QList<DrawObject*>* getAreaObjects(int area);
    int getObjectArea(DrawObject* obj);
    void updateCurrentPage();

    // Sheet painting.
    void drawArea(QPainter* painter, int area, int page_divide, int part, int flags);
    void drawFoldLine(QPainter* painter, QString kind);

    // --- Output: settings dialog, print preview, PDF (mainwindow_output.cpp) ---
    Q_SLOT void on_btnSetting_clicked();
    Q_SLOT void on_btnPrint_clicked();
    Q_SLOT void on_btnExport_clicked();
    Q_SLOT void paintPrinter(QPrinter* printer);
    void correctPageSize(QPrinter* printer, int pageSizeCode);
    void setExportDir(QString path);
    // --- end output ---

public slots:
    void paint(QPaintDevice* device, int page_area, int page_divide);
    void on_btnHelp_clicked();
    void on_btnZoom_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* obj, QEvent* event) override;

private:
    QList<QShortcut*> mShortcuts;
    DialogTextDetail* mDialogTextDetail = nullptr;
    void installEventFilters();
};

#endif
