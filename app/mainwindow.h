#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QVariant>
#include <QColor>
#include <QElapsedTimer>
#include <QTimer>

#include "documentstate.h"
#include "recovery.h"

class Command;
class DrawObject;
class QShortcut;
class QPushButton;
class QPrinter; // output
class DialogTextDetail;
class QContextMenuEvent;
class QPainter;

namespace Ui {
class MainWindow;
}

// Pointer modes of the edit areas.
enum PointerMode {
    POINTER_IDLE = 0,
    POINTER_RESIZE_TOP = 1,
    POINTER_RESIZE_BOTTOM = 2,
    POINTER_RESIZE_LEFT = 3,
    POINTER_RESIZE_RIGHT = 4,
    POINTER_MOVE = 5,
    POINTER_RANGE_SELECT = 6,
    POINTER_TEXT_LINK = 7,
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

    // ---- documents: files, folders, drops, clipboard (mainwindow_file.cpp) ----
    bool fileOpen(QString path);
    bool fileSave(QString path);
    QString getSaveDir();
    void setSaveDir(QString path);
    QString getSaveFile();
    QString getImageDir();
    void setImageDir(QString path);
    Q_SLOT void on_btnNew_clicked();
    Q_SLOT void on_btnOpen_clicked();
    Q_SLOT void on_btnSave_clicked();
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void setupDocuments();
    DrawObject* createDrawObjectCopy(DrawObject* obj);
    void copyAndPasteDrawObject(QList<DrawObject*> objs);
    Q_SLOT void actionCopy();
    Q_SLOT void actionPaste();
    Q_SLOT void on_btnCopyObj_clicked();
    Q_SLOT void on_btnDelObj_clicked();
    Q_SLOT void on_btnImg_clicked();
    Q_SLOT void on_btnImgDel_clicked();
    // ---- end documents ----

    // ---- unsaved changes, save prompts, recovery copies (mainwindow_recovery.cpp) ----
    DocumentState mDocState;
    // The file the document belongs to; empty when it was never saved.
    QString documentPath() const { return mDocPath; }
    // Asks whether to save a modified document; true when the caller may go
    // on and replace or close it. A clean document asks nothing.
    bool maybeSave();
    // Recovery copies in dir (the window keeps none until this is called).
    void enableRecovery(const QString& dir);
    RecoveryStore* recovery() const { return mRecovery; }
    // Offers the copies of editors that died; true when one was restored.
    bool offerRecovery();
    // The whole document as a file would hold it, image paths relative to folder.
    QByteArray documentBytes(const QString& folder);
    Q_SLOT void takeRecoveryCopy();

private:
    void setupUnsavedChanges();
    void resetDocumentState();
    void bindDocument(const QString& path);
    void documentSaved(const QString& path);
    bool saveThroughDialog();
    void noteDocumentChange(const Command* cmd, bool recorded, bool save_undo, int do_mode);
    void scheduleRecoveryCopy();
    void dropRecoveryCopy();
    void finishRecovery();
    void showRecoveryNotice(bool failing);
    void loadContent(DocumentContent* content);
    void updateTitle();
    QString mDocPath;
    QString mAppTitle;
    RecoveryStore* mRecovery = nullptr;
    QTimer mAutosaveTimer;
    AutosaveSchedule mAutosave;
    QElapsedTimer mClock;
    bool mRecoveryNotice = false;
public:
    // ---- end unsaved changes ----

public slots:
    void paint(QPaintDevice* device, int page_area, int page_divide);
    void on_btnHelp_clicked();
    void on_btnZoom_clicked();

    // ---- editing: commands, execution, undo/redo, property panel, text links ----
public:
    Command* createCmd(DrawObject* obj);
    Command* createCmd(QList<DrawObject*> objs);
    void execCmd(const Command* cmd, bool save_undo, int do_mode);
    Command* createUndoCmd(const Command* cmd);
    // Whether a new edit keeps the document within the reader's bounds
    // (warns when not); refuseEdit drops a refused command.
    bool editFits(const Command* cmd);
    void refuseEdit(const Command* cmd);
    void selectObject(QString how, DrawObject* obj, bool save_undo);
    void unselectObject();
    int getObjectZ(DrawObject* obj);
    QList<DrawObject*> getShareConfObjs(DrawObject* obj);
    void TextLinkInsertObj(DrawObject* obj);
    void TextLinkRemoveObj(DrawObject* obj);

    void refillPanel(DrawObject* obj);
    void setValueSilent(QWidget* widget, QVariant value);
    void setColorButtonColor(QPushButton* button, QString color);
    QColor getColorButtonColor(QPushButton* button);
    static QString getStyleValue(QString style, QString begin, QString end);
    QColor ColorDialogShow(QPushButton* button);
    QString getShapeData(bool useDefaults);
    void setShapeData(QString data);

public slots:
    void undo();
    void redo();
    void textDetailChanged(int cmd_type, int val);
    void shapeDataChanged(bool useDefaults);

private slots:
    void on_spnX_valueChanged(int value);
    void on_spnY_valueChanged(int value);
    void on_spnZ_valueChanged(int value);
    void on_spnR_valueChanged(int value);
    void on_spnW_valueChanged(int value);
    void on_spnH_valueChanged(int value);
    void on_txtText_textChanged();
    void on_cmbTextFont_currentIndexChanged(int index);
    void on_spnTextSize_valueChanged(int value);
    void on_btnTextColor_clicked();
    void on_spnTextMargin_valueChanged(int value);
    void on_spnTextLineSpacing_valueChanged(int value);
    void on_spnTextWordSpacing_valueChanged(int value);
    void on_radTextAlignTL_clicked();
    void on_radTextAlignTC_clicked();
    void on_radTextAlignTR_clicked();
    void on_radTextAlignML_clicked();
    void on_radTextAlignMC_clicked();
    void on_radTextAlignMR_clicked();
    void on_radTextAlignBL_clicked();
    void on_radTextAlignBC_clicked();
    void on_radTextAlignBR_clicked();
    void on_chkTextBold_clicked();
    void on_chkTextItalic_clicked();
    void on_chkTextUnderline_clicked();
    void on_chkTextStrikeout_clicked();
    void on_chkTextImaging_clicked();
    void on_cmbTextDirection_currentIndexChanged(int index);
    void on_btnEdgeColor_clicked();
    void on_spnEdgeWidth_valueChanged(int value);
    void on_btnBgColor_clicked();
    void on_chkBgColor_stateChanged(int state);
    void on_spnBgRadius_valueChanged(int value);
    void on_btnBorderColor_clicked();
    void on_cmbBorderStyle_currentIndexChanged(int index);
    void on_spnBorderWidth_valueChanged(int value);
    void on_btnRuledLineColor_clicked();
    void on_cmbRuledLineStyle_currentIndexChanged(int index);
    void on_spnRuledLineWidth_valueChanged(int value);
    void on_chkRuledLine_Top_stateChanged(int state);
    void on_chkRuledLine_Bottom_stateChanged(int state);
    void on_chkRuledLine_Left_stateChanged(int state);
    void on_chkRuledLine_Right_stateChanged(int state);
    void on_chkRuledLine_Slash_stateChanged(int state);
    void on_chkRuledLine_BackSlash_stateChanged(int state);
    void on_chkImgRatioKeep_clicked();
    void on_chkImgCenter_clicked();
    void on_chkTextLinkShareConf_clicked();
    void on_btnTextLinkOnOff_clicked();

private:
    void setupEditing();
    void fillFontCombo();
    void sendPanelCmd(int type, const QString& value);
    void sendColorCmd(QPushButton* button, int type);
    void pushUndoRecord(Command* record, int do_mode);
    static void discardRecord(Command* record);
    void applyCode(const Command* cmd, int i, const QString& v, int partCount, bool* relayout,
                   QList<DrawObject*>* survivors);
    void refreshPanel(int type, const QString& v, int i, int partCount);
    void showSelectionEmptied();
    void setAlignRadio(int align);
    void setRuledLineBoxes(int bits);
    // ---- end editing ----

    // ---- pointer editing, link mode, shape page, page numbers ----
public:
    void actionClick(int x, int y, bool ctrl);
    DrawObject* getObjectAt(int x, int y);
    int getCurrentObjectZone(int x, int y);
    bool isXYonObject(DrawObject* obj, int x, int y);
    bool isXYonObjectEdge(DrawObject* obj, int x, int y);
    static bool overlapRects(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2);
    void resizeObject(int dx, int dy, int dw, int dh);
    void changeCursor(int shape);
    void TextLinkCruiseStart();
    void TextLinkCruiseStop();
    void drawPointerOverlay(QPainter* painter, int area);

public slots:
    void on_btnNewObj_clicked();
    void on_btnPageNum_clicked();
    void on_btnTextDetail_clicked();
    void on_cmbShape_currentIndexChanged(int index);
    void on_btnShapeLineColor_clicked();
    void on_btnShapeCircleColor_clicked();
    void on_btnShapeCircleLineColor_clicked();
    void on_btnShapeTriangleColor_clicked();
    void on_btnShapeTriangleLineColor_clicked();
    void on_btnShapeDiamondColor_clicked();
    void on_btnShapeDiamondLineColor_clicked();
    void on_btnShapeStarColor_clicked();
    void on_btnShapeStarLineColor_clicked();
    void on_btnShapeHeartColor_clicked();
    void on_btnShapeHeartLineColor_clicked();
    void on_btnShapeHukidasiColor_clicked();
    void on_btnShapeHukidasiLineColor_clicked();
    void on_cmbShapeLineStyle_currentIndexChanged(int index);
    void on_spnShapeLineWidth_valueChanged(int value);
    void on_spnShapeLineCount_valueChanged(int value);
    void on_spnShapeCircleLineWidth_valueChanged(int value);
    void on_spnShapeTriangleLineWidth_valueChanged(int value);
    void on_spnShapeDiamondLineWidth_valueChanged(int value);
    void on_spnShapeStarLineWidth_valueChanged(int value);
    void on_spnShapeHeartLineWidth_valueChanged(int value);
    void on_spnShapeHukidasiLineWidth_valueChanged(int value);
    void on_spnShapeHukidasiRadius_valueChanged(int value);
    void on_spnShapeHukidasiPosition_valueChanged(int value);
    void on_spnShapeHukidasiWidth_valueChanged(int value);
    void on_spnShapeHukidasiHeight_valueChanged(int value);
    void on_chkShapeCircleIsEllipse_clicked();
    void on_chkShapeCircleMoldCut_clicked();
    void on_chkShapeTriangleMoldCut_clicked();
    void on_chkShapeDiamondMoldCut_clicked();
    void on_chkShapeStarMoldCut_clicked();
    void on_chkShapeHeartMoldCut_clicked();
    void on_chkShapeHukidasiMoldCut_clicked();
    void on_radShapeTriangleDirection_N_clicked();
    void on_radShapeTriangleDirection_E_clicked();
    void on_radShapeTriangleDirection_W_clicked();
    void on_radShapeTriangleDirection_S_clicked();
    void on_radShapeHukidasiDirection_N_clicked();
    void on_radShapeHukidasiDirection_E_clicked();
    void on_radShapeHukidasiDirection_W_clicked();
    void on_radShapeHukidasiDirection_S_clicked();

private:
    void setupPointerEditing();
    bool isOnCurrentPage(DrawObject* obj);
    bool canLinkTo(DrawObject* obj);
    QPoint documentPoint(const QPoint& widgetPos) const;
    bool areaEvent(int area, QWidget* page, QEvent* event);
    void pointerMoved(const QPoint& p);
    void pointerReleased();
    bool areaKey(int key);
    bool nudgeSelection(int key);
    bool showContextMenu(QWidget* page, QContextMenuEvent* event);
    void pickShapeColor(QPushButton* button);
    // ---- end pointer editing ----

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* obj, QEvent* event) override;

private:
    QList<QShortcut*> mShortcuts;
    DialogTextDetail* mDialogTextDetail = nullptr;
    void installEventFilters();
    void freeDocument();
};

#endif
