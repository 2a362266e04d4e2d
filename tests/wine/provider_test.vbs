' The provider from VBScript, which passes its variables as references to
' variants: every method through Invoke, and a set, save and read. Wine's
' cscript stops silently on a script error, so the script runs under On Error
' Resume Next and Check reports Err.
Option Explicit
On Error Resume Next

Dim failures : failures = 0
Sub Check(ok, what)
    If Err.Number <> 0 Or Not ok Then
        WScript.Echo "FAIL " & what & " (error " & Hex(Err.Number) & ")"
        failures = failures + 1
    End If
    Err.Clear
End Sub

Dim file : file = Replace(WScript.ScriptFullName, ".vbs", ".xml")
Dim o : Set o = CreateObject("Velmora.HudProvider")
o.initHUDDocument
o.setDocumentType "hud"
Dim status : o.setNodePropertyValue "n100/n104", "amount", "1234.50", status
Check status = 0, "setNodePropertyValue"
Dim newName : o.createNode "n104", "n100", newName
Check newName = "n1042", "createNode (got " & newName & ")"
Dim removed : o.removeChildNode "n100", "n104", "name=n1042", removed
Check removed = 0, "removeChildNode"
Dim updated : o.setNodePropertyByCriterion "n100", "name=n1041", "description", "Sale", updated
Check updated = 0, "setNodePropertyByCriterion"
Dim found : o.findChildNodeByProperty "n100", "description", "Sale", found
Check InStr(found, "amount=""1234.50""") > 0, "findChildNodeByProperty"
Dim count : o.getChildNodeCount "n100", count
Dim child : o.getChildNodeByIndex "n100", "0", child
Check count = 9 And child = found, "getChildNodeCount and getChildNodeByIndex"
Dim exists : o.isNodeExist "n100/n104", exists
Check exists = 1, "isNodeExist"
o.writeHUD file, status
Check status = 0, "writeHUD"
o.Dispose
Dim r : r = 55
o.readHUD file, r
Dim raised : raised = Err.Number : Err.Clear
Check raised = &H80004005 And r = 55, "readHUD after Dispose raises E_FAIL, keeps r"

Set o = CreateObject("Velmora.HudProvider")
o.readHUD file, status
Dim v : o.getNodePropertyValue "n100/n104", "amount", v
Check status = 0 And v = "1234.50" And VarType(v) = vbString, "the saved amount (got " & v & ")"
' A BSTR carries its length: a text holding Chr(0) comes back whole, alone and
' in the root's XML.
Dim nul : nul = "x" & Chr(0) & "y"
o.setNodePropertyValue "n100/n105", "description", nul, status
Dim back : back = "caller's"
o.getNodePropertyValue "n100/n105", "description", back
Dim tree : tree = "caller's"
o.getNodeValue "", tree
Check status = 0 And Len(back) = 3 And back = nul And InStr(tree, "description=""" & nul & """") > 0, _
    "a text holding Chr(0) (got " & Len(back) & " characters)"
Dim kept : kept = "caller's"
o.getNodeValue "n100/zzz", kept
Check kept = "caller's", "getNodeValue on no node leaves the variable"
o.ApplyFileLock 0
o.isXMLFileFormat file, status
Check status = 1, "isXMLFileFormat"
o.Dispose

WScript.Echo "vbscript: " & failures & " failures"
