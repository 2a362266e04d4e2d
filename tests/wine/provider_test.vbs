' The provider from VBScript: variables reach it as references to variants,
' and its out-values must come back in them. Wine's cscript stops silently
' on a script error, so every call runs under On Error Resume Next and is
' checked through Err.
Option Explicit
On Error Resume Next

Dim failures : failures = 0

Sub Check(ok, what)
    If Err.Number <> 0 Then
        WScript.Echo "FAIL " & what & ": error " & Hex(Err.Number) & " " & Err.Description
        failures = failures + 1
        Err.Clear
    ElseIf Not ok Then
        WScript.Echo "FAIL " & what
        failures = failures + 1
    End If
End Sub

Dim o : Set o = CreateObject("Velmora.HudProvider")
Check IsObject(o), "CreateObject"
o.initHUDDocument
Check True, "initHUDDocument"

Dim status : status = 77
o.setNodePropertyValue "n100/n104", "amount", "1234.50", status
Check status = 0, "setNodePropertyValue gives 0"

Dim v : o.getNodePropertyValue "n100/n104", "amount", v
Check v = "1234.50", "getNodePropertyValue gives the amount (got " & v & ")"
Check VarType(v) = vbString, "the amount is a string"

Dim kept : kept = "caller's"
o.getNodeValue "n100/zzz", kept
Check kept = "caller's", "getNodeValue on no node leaves the variable"

Dim exists : o.isNodeExist "/n100/", exists
Check exists = 1, "isNodeExist /n100/"
o.isNodeExist "zzz/n104", exists
Check exists = 0, "isNodeExist zzz/n104"

Dim count : o.getChildNodeCount "n100", count
Check count = 9, "getChildNodeCount n100 (got " & count & ")"

Dim child : child = Empty
o.getChildNodeByIndex "n100", count, child
Check IsEmpty(child), "getChildNodeByIndex past the end leaves the variable"
o.getChildNodeByIndex "n100", "0", child
Check InStr(child, "amount=""1234.50""") > 0, "getChildNodeByIndex 0 with a text index"

Dim newName : o.createNode "n104", "n100", newName
Check newName = "n1042", "createNode (got " & newName & ")"
Dim removed : o.removeChildNode "n100", "n104", "", removed
Check removed = -1, "removeChildNode with an empty criterion"
o.removeChildNode "n100", "n104", "name=n1042", removed
Check removed = 0, "removeChildNode name=n1042"

Dim found : o.findChildNodeByProperty "n100", "amount", "1234.50", found
Check InStr(found, "name=""n1041""") > 0, "findChildNodeByProperty"

Dim updated : o.setNodePropertyByCriterion "n100", "name=n1041", "description", "Sale", updated
Check updated = 0, "setNodePropertyByCriterion"
Dim description : o.getNodePropertyValue "n100/n104", "description", description
Check description = "Sale", "the criterion's update"

o.ApplyFileLock 0
Check True, "ApplyFileLock"

o.Dispose
Check True, "Dispose"
Dim r : r = 55
Dim raised
o.readHUD "C:\nothing.xml", r
raised = Err.Number : Err.Clear
Check raised = &H80004005, "readHUD after Dispose raises E_FAIL (got " & Hex(raised) & ")"
Check r = 55, "readHUD after Dispose leaves its variable"
o.writeHUD "C:\nothing.xml", r
raised = Err.Number : Err.Clear
Check raised = &H80004005, "writeHUD after Dispose raises E_FAIL (got " & Hex(raised) & ")"
o.initHUDDocument
Check True, "initHUDDocument after Dispose"

o.noSuchMethod
raised = Err.Number : Err.Clear
Check raised = 438, "an unknown method is refused (got " & raised & ")"

WScript.Echo "vbscript: " & failures & " failures"
