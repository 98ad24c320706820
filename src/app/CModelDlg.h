// File, Export 3D Model: asks for the model's vertical exaggeration and the thickness of its base
// in millimetres, within the terrain model's limits (CTerrainModel's constants; the program
// never links the terrain layer itself). Used by the document's command before it asks for the
// file.
#pragma once

#include <QDialog>

class QDoubleSpinBox;

class CModelDlg : public QDialog {
    Q_OBJECT
public:
    explicit CModelDlg(QWidget* pParent = nullptr);

    double Exaggeration() const;
    double BaseMm() const;

private:
    QDoubleSpinBox* m_pExaggeration = nullptr;
    QDoubleSpinBox* m_pBase = nullptr;
};
