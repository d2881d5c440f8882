' The same Toma without On Error Resume Next: the script stops there with the control's words.
Set control = CreateObject("KAPTORAX.KAPTORAXCtrl.1")
control.destinoimagen = WScript.Arguments(0)
control.Inicializa
WScript.Echo "before Toma"
control.Toma
WScript.Echo "after Toma"
