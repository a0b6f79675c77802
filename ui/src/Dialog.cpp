#include "ui/Dialog.h"

#include "ui_Dialog.h"

Dialog::Dialog(QWidget* parent) : QDialog(parent), ui(new Ui::Dialog) {
    ui->setupUi(this);
}

Dialog::~Dialog() {
    delete ui;
}

void Dialog::setLimits(int xMin, int xMax, double yMin, double yMax) {
    ui->dSBXmin->setValue(xMin);
    ui->dSBXmax->setValue(xMax);
    ui->dSBYmin->setValue(yMin);
    ui->dSBYmax->setValue(yMax);
}

void Dialog::on_pushButtonOk_clicked() {
    acceptedXMin = ui->dSBXmin->value();
    acceptedXMax = ui->dSBXmax->value();
    acceptedYMin = ui->dSBYmin->value();
    acceptedYMax = ui->dSBYmax->value();
    emit setManualScale(acceptedXMin, acceptedXMax, acceptedYMin, acceptedYMax);
    accept();
}

void Dialog::on_pushButtonCancel_clicked() {
    reject();
}
