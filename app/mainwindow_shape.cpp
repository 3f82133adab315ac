// Slots of the shape page: every widget rebuilds the shape data of the selection.
#include "mainwindow.h"
#include "ui_mainwindow.h"

// Choosing a kind starts it from its own defaults.
void MainWindow::on_cmbShape_currentIndexChanged(int) { shapeDataChanged(true); }

void MainWindow::pickShapeColor(QPushButton* button)
{
    if (ColorDialogShow(button).isValid())
        shapeDataChanged(false);
}

void MainWindow::on_btnShapeLineColor_clicked() { pickShapeColor(ui->btnShapeLineColor); }
void MainWindow::on_btnShapeCircleColor_clicked() { pickShapeColor(ui->btnShapeCircleColor); }
void MainWindow::on_btnShapeCircleLineColor_clicked() { pickShapeColor(ui->btnShapeCircleLineColor); }
void MainWindow::on_btnShapeTriangleColor_clicked() { pickShapeColor(ui->btnShapeTriangleColor); }
void MainWindow::on_btnShapeTriangleLineColor_clicked() { pickShapeColor(ui->btnShapeTriangleLineColor); }
void MainWindow::on_btnShapeDiamondColor_clicked() { pickShapeColor(ui->btnShapeDiamondColor); }
void MainWindow::on_btnShapeDiamondLineColor_clicked() { pickShapeColor(ui->btnShapeDiamondLineColor); }
void MainWindow::on_btnShapeStarColor_clicked() { pickShapeColor(ui->btnShapeStarColor); }
void MainWindow::on_btnShapeStarLineColor_clicked() { pickShapeColor(ui->btnShapeStarLineColor); }
void MainWindow::on_btnShapeHeartColor_clicked() { pickShapeColor(ui->btnShapeHeartColor); }
void MainWindow::on_btnShapeHeartLineColor_clicked() { pickShapeColor(ui->btnShapeHeartLineColor); }
void MainWindow::on_btnShapeHukidasiColor_clicked() { pickShapeColor(ui->btnShapeHukidasiColor); }
void MainWindow::on_btnShapeHukidasiLineColor_clicked() { pickShapeColor(ui->btnShapeHukidasiLineColor); }

void MainWindow::on_cmbShapeLineStyle_currentIndexChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeLineCount_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeCircleLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeTriangleLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeDiamondLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeStarLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeHeartLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeHukidasiLineWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeHukidasiRadius_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeHukidasiPosition_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeHukidasiWidth_valueChanged(int) { shapeDataChanged(false); }
void MainWindow::on_spnShapeHukidasiHeight_valueChanged(int) { shapeDataChanged(false); }

void MainWindow::on_chkShapeCircleIsEllipse_clicked() { shapeDataChanged(false); }
void MainWindow::on_chkShapeCircleMoldCut_clicked() { shapeDataChanged(false); }
void MainWindow::on_chkShapeTriangleMoldCut_clicked() { shapeDataChanged(false); }
void MainWindow::on_chkShapeDiamondMoldCut_clicked() { shapeDataChanged(false); }
void MainWindow::on_chkShapeStarMoldCut_clicked() { shapeDataChanged(false); }
void MainWindow::on_chkShapeHeartMoldCut_clicked() { shapeDataChanged(false); }
void MainWindow::on_chkShapeHukidasiMoldCut_clicked() { shapeDataChanged(false); }

void MainWindow::on_radShapeTriangleDirection_N_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeTriangleDirection_E_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeTriangleDirection_W_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeTriangleDirection_S_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeHukidasiDirection_N_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeHukidasiDirection_E_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeHukidasiDirection_W_clicked() { shapeDataChanged(false); }
void MainWindow::on_radShapeHukidasiDirection_S_clicked() { shapeDataChanged(false); }
