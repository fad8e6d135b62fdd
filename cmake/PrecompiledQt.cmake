# The Qt Widgets headers that nearly every window source includes, precompiled once per target.
# Parsing them is most of what compiling such a source costs: app/MainWindowRules.cpp takes 5.4 s
# of processor time on its own and 2.8 s with them precompiled, against some 11 s for the header
# itself, so a target with a dozen or more such sources gains. Targets with a source or two do not.
function(zorvik_precompile_qt target)
    target_precompile_headers(${target} PRIVATE
        <QAction>
        <QApplication>
        <QCheckBox>
        <QComboBox>
        <QDialog>
        <QGroupBox>
        <QLabel>
        <QLineEdit>
        <QMainWindow>
        <QPushButton>
        <QRadioButton>
        <QString>
        <QWidget>
        <functional>
        <memory>
        <string>
        <vector>
    )
endfunction()
