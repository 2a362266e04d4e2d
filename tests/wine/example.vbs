' Fill in a line of a new settlement statement and read it back.
Set deal = CreateObject("Velmora.HudProvider")
deal.initHUDDocument
Dim status, amount
deal.setNodePropertyValue "n100/n104", "amount", "250000.00", status
deal.getNodePropertyValue "n100/n104", "amount", amount
WScript.Echo "n100/n104 amount = " & amount
deal.Dispose
