' Toma into a file system with no room for the picture, as a script author writes it: the
' error number is not zero and the description is the control's, with its accented letters.
On Error Resume Next
Set control = CreateObject("KAPTORAX.KAPTORAXCtrl.1")
control.destinoimagen = WScript.Arguments(0)
control.Inicializa
control.Toma
WScript.Echo "number=" & Hex(Err.Number)
WScript.Echo "source=" & Err.Source
WScript.Echo "description=" & Err.Description
WScript.Echo "names the picture=" & (InStr(Err.Description, WScript.Arguments(0)) > 0)
