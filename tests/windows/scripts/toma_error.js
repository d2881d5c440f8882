// Toma into a file system with no room for the picture, from JScript: the exception carries
// a non-zero number and the control's description.
var control = new ActiveXObject("KAPTORAX.KAPTORAXCtrl.1");
var picture = WScript.Arguments(0);
control.destinoimagen = picture;
control.Inicializa();
try {
    control.Toma();
    WScript.Echo("no error");
} catch (e) {
    WScript.Echo("number=" + (e.number < 0 ? e.number + 0x100000000 : e.number).toString(16).toUpperCase());
    WScript.Echo("description=" + e.description);
    WScript.Echo("names the picture=" + (e.description.indexOf(picture) >= 0));
}
